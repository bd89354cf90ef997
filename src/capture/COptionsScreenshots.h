#pragma once
// Steps of the screenshot hook (CScreenshotter) that show the photo and movie options pop-ups: the photo
// options, the movie options with the live motion level of the first camera, and the movie options of a
// camera without motion detection. Nothing happens unless the hook is on.
class COptionsScreenshots {
public:
    static void AddSteps();
};
