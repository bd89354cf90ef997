#pragma once
// Steps of the screenshot hook (CScreenshotter) that show the capture window: its live picture with a
// photo just taken, a movie being recorded, the video gallery with that movie, the photo and movie options
// opened from its buttons, and the window with its gallery closed. Nothing happens unless the hook is on.
class CSnapDeskScreenshots {
public:
    static void AddSteps();
};
