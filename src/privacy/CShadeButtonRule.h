#pragma once
// Which shade button shows and whether it may be pressed. The shade needs the camera service, the effects
// engine (it draws the picture) and a camera that nobody else's session holds; then the camera's video
// mute says which of the two buttons is the one to offer.
struct ShadeButtonLook {
    bool onShown = true;
    bool onEnabled = false;
    bool offShown = false;
    bool offEnabled = false;
};

class CShadeButtonRule {
public:
    struct Inputs {
        bool hasDeviceManager = false;
        bool hasEffectsEngine = false;
        int cameraCount = 0;
        bool cameraHeldByOtherUser = false;
        bool cameraOwnerIs64Bit = false;
        // The camera's software video mute; false when it cannot be read.
        bool muted = false;
    };

    static bool IsUsable(const Inputs& in);
    static ShadeButtonLook Decide(const Inputs& in);
};
