#pragma once
// The device-manager facade's lists: the cameras, microphones, speakers and HID devices the service lists,
// in its order, and the current device of each kind (its id and its index). Cameras are found by
// IsSameDevice (ignoring case, and the part after the last backslash), the other kinds by their exact id.
#include "services/DeviceEntry.h"
#include "services/IGraniteDeviceManager.h"
#include "services/IInProcDeviceManager.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDevicePropertyAccess;

class CDeviceLists {
public:
    enum class Kind { Video, Microphone, Speaker, Hid };
    using DeviceList = std::vector<std::unique_ptr<DeviceEntry>>;

    DeviceList& ListOf(Kind kind);
    const DeviceList& ListOf(Kind kind) const;
    // Empty when none is current (no device is ever listed with an empty id). HID devices have none.
    std::string& CurrentIdOf(Kind kind);
    int& CurrentIndexOf(Kind kind);
    // The current device of the kind that the last refresh found gone before its removal was reported.
    std::string& VanishedIdOf(Kind kind);

    // Index of the device, or -1.
    int FindIndex(Kind kind, const std::string& id) const;
    // Index of the first camera that IsSameDevice the id, or -1.
    int FindCameraIndex(const std::string& id) const;
    static int FindExactIndex(const DeviceList& list, const std::string& id);
    static bool SameId(Kind kind, const std::string& a, const std::string& b);
    // Equal ignoring case, or equal ignoring case up to the last backslash.
    static bool SameDevice(std::string_view a, std::string_view b);

    HRESULT CopyEntry(const DeviceList& list, int index, DeviceInfo* out) const;
    HRESULT FindEntry(const DeviceList& list, const std::string& id, DeviceInfo* out) const;

    // Deletes the entries first to last (each camera entry drops its subscriptions), then empties the list.
    static void ClearList(DeviceList& list);
    // Every list emptied, no device current.
    void ClearAll();

    // Rebuilds the list of the kind from the service, in its order, keeping the values noted per camera. A
    // device that cannot be named or identified is left out. When the current device is no longer listed it
    // stops being current and is remembered as vanished (for a camera, releaseCurrentCamera runs first,
    // while its id is still current). E_FAIL, with the list left empty, when the service cannot count.
    HRESULT Refresh(Kind kind, IInProcDeviceManager* service, CDevicePropertyAccess& props,
                    const std::function<void()>& releaseCurrentCamera);

private:
    DeviceList videoDevices_;
    DeviceList microphones_;
    DeviceList speakers_;
    DeviceList hidDevices_;
    int currentVideoIndex_ = 0;
    int currentMicrophoneIndex_ = 0;
    int currentSpeakerIndex_ = 0;
    std::string currentVideoId_;
    std::string currentMicrophoneId_;
    std::string currentSpeakerId_;
    std::string vanishedVideoId_;
    std::string vanishedMicrophoneId_;
    std::string vanishedSpeakerId_;
};
