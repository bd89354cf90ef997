#pragma once
// Steps of the screenshot hook (CScreenshotter) that show the capture window's two notices: the one about
// the missing recording plug-ins and the one about the system's own camera driver. Nothing happens unless
// the hook is on.
class CCaptureNoticeScreenshots {
public:
    static void AddSteps();
};
