#include "services/CDeviceEventDispatcher.h"

using namespace GdmProperty;

namespace {

using Listener = IGraniteDeviceManagerEvent;

enum class ValueKind {
    Number,     // passed on as read
    Flag,       // on when the 16-bit payload is VARIANT_TRUE
    FlagNumber, // a flag told as 1 or 0, the way its getter reads it
    TriState,   // stored 0, 1, 4 become 0, 1, 2; other stored values are not passed on
    ThreeWay,   // only 0, 1 and 2 are passed on
};

struct PropertyNotification {
    int32_t property;
    ValueKind kind;
    void (Listener::*number)(uint32_t, int32_t);
    void (Listener::*flag)(uint32_t, bool);
};

// Which camera property change each listener operation reports.
constexpr PropertyNotification kVideoPropertyNotifications[] = {
    {TriStateMode.value, ValueKind::TriState, &Listener::OnTriStateModeChanged, nullptr},
    {AdvancedSwitchD.value, ValueKind::ThreeWay, &Listener::OnAdvancedSwitchDChanged, nullptr},
    {ColorBoost.value, ValueKind::Number, &Listener::OnColorBoostChanged, nullptr},
    {LowLightBoost.value, ValueKind::Number, &Listener::OnLowLightBoostChanged, nullptr},
    {AdvancedSwitchC.value, ValueKind::Number, &Listener::OnAdvancedSwitchCChanged, nullptr},
    {AdvancedSwitchB.value, ValueKind::Number, &Listener::OnAdvancedSwitchBChanged, nullptr},
    {AdvancedLevelB.value, ValueKind::Number, &Listener::OnAdvancedLevelBChanged, nullptr},
    {AdvancedLevelA.value, ValueKind::Number, &Listener::OnAdvancedLevelAChanged, nullptr},
    {Backlight.value, ValueKind::Number, &Listener::OnBacklightChanged, nullptr},
    {AutoFocus, ValueKind::FlagNumber, &Listener::OnAutoFocusChanged, nullptr},
    {Focus, ValueKind::Number, &Listener::OnWebcamValueGChanged, nullptr},
    {AdvancedSwitchA.value, ValueKind::Number, &Listener::OnAdvancedSwitchAChanged, nullptr},
    {Zoom.value, ValueKind::Number, &Listener::OnZoomChanged, nullptr},
    {PanTiltAxis2.value, ValueKind::Number, &Listener::OnPanTiltAxis2Changed, nullptr},
    {PanTiltAxis1.value, ValueKind::Number, &Listener::OnPanTiltAxis1Changed, nullptr},
    {WebcamLevelD.value, ValueKind::Number, &Listener::OnWebcamLevelDChanged, nullptr},
    {WebcamSwitchE, ValueKind::Flag, nullptr, &Listener::OnWebcamSwitchEChanged},
    {WebcamLevelC.value, ValueKind::Number, &Listener::OnWebcamLevelCChanged, nullptr},
    {WebcamLevelB.value, ValueKind::Number, &Listener::OnWebcamLevelBChanged, nullptr},
    {WebcamLevelA.value, ValueKind::Number, &Listener::OnWebcamLevelAChanged, nullptr},
    {VideoMute, ValueKind::Number, &Listener::OnVideoMuteChanged, nullptr},
    {SunTuneLevelB.value, ValueKind::Number, &Listener::OnSunTuneLevelBChanged, nullptr},
    {SunTuneLevelA.value, ValueKind::Number, &Listener::OnSunTuneLevelAChanged, nullptr},
    {SunTuneLevelC.value, ValueKind::Number, &Listener::OnSunTuneLevelCChanged, nullptr},
    {SunTuneLevelD.value, ValueKind::Number, &Listener::OnSunTuneLevelDChanged, nullptr},
    {SunTuneMode.value, ValueKind::Number, &Listener::OnSunTuneModeChanged, nullptr},
};

// Camera events whose listener operation takes no argument but the cookie.
struct PlainEvent {
    int32_t code;
    void (Listener::*call)(uint32_t);
};
constexpr PlainEvent kCurrentCameraEvents[] = {
    {1, &Listener::OnVideoDeviceEvent1},
    {26, &Listener::OnVideoDeviceEvent26},
    {29, &Listener::OnVideoDeviceEvent29},
    {30, &Listener::OnVideoDeviceEvent30},
};

constexpr int32_t kEventProductGated20 = 20;
constexpr int32_t kEventReady33 = 33;
constexpr int32_t kEventLost34 = 34;
constexpr int32_t kEventLost35 = 35;
constexpr int32_t kStatusReady = 1;
constexpr int32_t kStatusLost = 3;

bool IsListWideEvent(int32_t code) {
    return code == EventSwitchOn8 || code == EventSwitchOff9 || code == EventStreamStarted15 ||
           code == EventStreamEnded16 || code == EventSwitchOn31 || code == EventSwitchOff32;
}

// The list a device type of the service's arrival and removal events belongs to (the type already checked).
CDeviceLists::Kind KindOfType(int32_t type) {
    using Kind = CDeviceLists::Kind;
    return type == kDeviceTypeVideo        ? Kind::Video
           : type == kDeviceTypeMicrophone ? Kind::Microphone
           : type == kDeviceTypeSpeaker    ? Kind::Speaker
                                           : Kind::Hid;
}

} // namespace

CDeviceEventDispatcher::CDeviceEventDispatcher(IInProcDeviceManager* const& service, CDeviceLists& lists,
                                               CDevicePropertyAccess& props, const Listeners& listeners,
                                               IDeviceSelection& selection)
    : service_(service), lists_(lists), props_(props), listeners_(listeners), selection_(selection) {}

void CDeviceEventDispatcher::NotifyVideoProperty(int32_t property, const Variant& value) {
    for (const PropertyNotification& entry : kVideoPropertyNotifications) {
        if (entry.property != property)
            continue;
        int32_t number = 0;
        if (!value.ToI4(number))
            return; // not a value this property can have
        if (entry.kind == ValueKind::Flag) {
            const bool on = IsVariantTrue(value);
            ForEachListener([&](Listener& l, uint32_t cookie) { (l.*entry.flag)(cookie, on); });
            return;
        }
        if (entry.kind == ValueKind::FlagNumber) {
            number = IsVariantTrue(value) ? 1 : 0;
        } else if (entry.kind == ValueKind::TriState) {
            if (number != 0 && number != 1 && number != 4)
                return;
            number = number == 4 ? 2 : number;
        } else if (entry.kind == ValueKind::ThreeWay && (number < 0 || number > 2)) {
            return;
        }
        ForEachListener([&](Listener& l, uint32_t cookie) { (l.*entry.number)(cookie, number); });
        return;
    }
}

void CDeviceEventDispatcher::OnMicrophonePropertyChanged(const std::string& deviceId, int32_t property,
                                                         const Variant& newValue) {
    if (lists_.CurrentIdOf(Kind::Microphone).empty() || deviceId != lists_.CurrentIdOf(Kind::Microphone))
        return;
    int32_t value = 0;
    if (!newValue.ToI4(value))
        return;
    if (property == MicrophoneVolume.value) {
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnMicrophoneVolumeChanged(cookie, value); });
    } else if (property == MicrophoneLevel.value) {
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnMicrophoneLevelChanged(cookie, value); });
    } else if (property == MicrophoneMute) {
        const bool muted = value != 0;
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnMicrophoneMuteChanged(cookie, muted); });
        // A muted microphone hears nothing: bring the level meters down at once.
        if (muted)
            ForEachListener([&](Listener& l, uint32_t cookie) { l.OnMicrophoneLevelChanged(cookie, 0); });
    }
}

void CDeviceEventDispatcher::OnSpeakerPropertyChanged(const std::string& deviceId, int32_t property,
                                                      const Variant& newValue) {
    if (lists_.CurrentIdOf(Kind::Speaker).empty() || deviceId != lists_.CurrentIdOf(Kind::Speaker))
        return;
    int32_t value = 0;
    if (!newValue.ToI4(value))
        return;
    if (property == SpeakerVolume) {
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnSpeakerVolumeChanged(cookie, value); });
    } else if (property == SpeakerMute) {
        const bool muted = (value & 0xFFFF) != 0;
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnSpeakerMuteChanged(cookie, muted); });
    }
}

bool CDeviceEventDispatcher::IsCurrentCamera(const std::string& deviceId) {
    const std::string& current = lists_.CurrentIdOf(Kind::Video);
    return !current.empty() && CDeviceLists::SameDevice(deviceId, current);
}

void CDeviceEventDispatcher::OnVideoPropertyChanged(const std::string& deviceId, int32_t property,
                                                    const Variant& newValue) {
    if (!IsCurrentCamera(deviceId))
        return;
    NotifyVideoProperty(property, newValue);
}

void CDeviceEventDispatcher::OnVideoDeviceEvent(const std::string& deviceId, int32_t code) {
    if (!IsListWideEvent(code) && !IsCurrentCamera(deviceId))
        return;
    switch (code) {
    case EventSwitchOn8:
    case EventSwitchOff9: {
        const bool on = code == EventSwitchOn8;
        ForEachListener(
            [&](Listener& l, uint32_t cookie) { l.OnCameraOpenedOrClosed(deviceId, cookie, on); });
        return;
    }
    case EventSwitchOn31:
    case EventSwitchOff32: {
        const bool on = code == EventSwitchOn31;
        ForEachListener(
            [&](Listener& l, uint32_t cookie) { l.OnVideoDeviceEvent31or32(deviceId, cookie, on); });
        return;
    }
    case EventStreamStarted15:
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnVideoDeviceEvent15(deviceId, cookie); });
        return;
    case EventStreamEnded16:
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnVideoDeviceEvent16(deviceId, cookie); });
        return;
    case kEventReady33:
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnDeviceStatus(cookie, kStatusReady); });
        return;
    case kEventLost34:
    case kEventLost35:
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnDeviceStatus(cookie, kStatusLost); });
        return;
    case kEventProductGated20: {
        // Only one camera model gives this event a meaning.
        int32_t productId = 0;
        if (service_ == nullptr || FAILED(props_.ReadLong(Kind::Video, deviceId, ProductId, &productId)) ||
            productId != kEvent20ProductId)
            return;
        ForEachListener([&](Listener& l, uint32_t cookie) { l.OnVideoDeviceEvent20(cookie); });
        return;
    }
    default:
        break;
    }
    for (const PlainEvent& event : kCurrentCameraEvents) {
        if (event.code == code) {
            ForEachListener([&](Listener& l, uint32_t cookie) { (l.*event.call)(cookie); });
            return;
        }
    }
}

void CDeviceEventDispatcher::OnDeviceArrived(int32_t type, const std::string& deviceId) {
    if (type < kDeviceTypeVideo || type > kDeviceTypeHid)
        return;
    const Kind kind = KindOfType(type);
    const bool wasEmpty = lists_.ListOf(kind).empty();
    selection_.RefreshList(kind);
    ForEachListener([&](Listener& l, uint32_t) { l.OnDeviceArrived(type, deviceId); });
    // The first device of a kind becomes current by itself.
    if (!wasEmpty || lists_.ListOf(kind).empty())
        return;
    if (kind != Kind::Hid)
        selection_.SelectDevice(kind, 0);
}

void CDeviceEventDispatcher::HandleRemoval(Kind kind, const std::string& id, std::string& previousCurrentId) {
    if (kind == Kind::Hid) {
        selection_.RefreshList(Kind::Hid);
        return;
    }
    previousCurrentId = lists_.CurrentIdOf(kind);
    // A camera that is (or was, until a refresh found it gone) the current one is detached by the refresh
    // that drops it; only other cameras need detaching here.
    bool letGoByRefresh = !previousCurrentId.empty() && lists_.SameId(kind, previousCurrentId, id);
    std::string& vanished = lists_.VanishedIdOf(kind);
    if (!vanished.empty() && lists_.SameId(kind, vanished, id)) {
        if (previousCurrentId.empty())
            previousCurrentId = vanished;
        vanished.clear();
        letGoByRefresh = true;
    }

    // A current camera that has gone is detached by the refresh, together with its subscriptions.
    selection_.RefreshList(kind);
    if (lists_.FindIndex(kind, id) >= 0) {
        // Plugged back in before we heard it had gone: nothing was lost, and the current camera must stay
        // attached for us.
        return;
    }
    if (kind == Kind::Video && service_ != nullptr && !letGoByRefresh)
        service_->DetachVideoDevice(id);
    if (lists_.ListOf(kind).size() == 1) {
        selection_.SelectDevice(kind, 0);
        return;
    }
    // With none or several left the user chooses again; a camera that stops being current is let go of
    // properly, so the service does not keep it open for us.
    if (kind == Kind::Video)
        selection_.ReleaseCurrentCamera();
    lists_.CurrentIdOf(kind).clear();
    lists_.CurrentIndexOf(kind) = 0;
}

void CDeviceEventDispatcher::OnDeviceRemoved(int32_t type, const std::string& deviceId) {
    if (type < kDeviceTypeVideo || type > kDeviceTypeHid)
        return;
    const Kind kind = KindOfType(type);
    std::string previousCurrentId;
    HandleRemoval(kind, deviceId, previousCurrentId);
    ForEachListener([&](Listener& l, uint32_t) { l.OnDeviceRemoved(type, deviceId, previousCurrentId); });
}

void CDeviceEventDispatcher::OnVideoMotorStatus(const std::string& deviceId) {
    if (lists_.CurrentIdOf(Kind::Video).empty() || deviceId != lists_.CurrentIdOf(Kind::Video))
        return;
    ForEachListener([](Listener& l, uint32_t) { l.OnVideoMotorStatus(); });
}

void CDeviceEventDispatcher::OnPlaySoundFileStatus(const std::string& deviceId, uint32_t status) {
    ForEachListener([&](Listener& l, uint32_t) { l.OnPlaySoundFileStatus(deviceId, status); });
}

void CDeviceEventDispatcher::OnHIDPropertyChanged2(int32_t property, const Variant& newValue) {
    const bool on = IsVariantTrue(newValue);
    if (property == HidSwitch5)
        ForEachListener([&](Listener& l, uint32_t) { l.OnHidProperty5Changed(on); });
    else if (property == HidValue6)
        ForEachListener([&](Listener& l, uint32_t) { l.OnHidProperty6Changed(on); });
}

void CDeviceEventDispatcher::OnGlobalPropertyChanged(int32_t option, const Variant& value) {
    const bool on = IsVariantTrue(value);
    if (option == GDM_OPTION_ECHO_CANCELLATION)
        ForEachListener([&](Listener& l, uint32_t) { l.OnEchoCancellationChanged(on); });
    else if (option == GDM_OPTION_NOISE_SUPPRESSION)
        ForEachListener([&](Listener& l, uint32_t) { l.OnNoiseSuppressionChanged(on); });
}
