#include "services/CGCMEventSerializer.h"

using I = IBrenCommunicationManagerEvents;

const std::vector<std::string>& CGCMEventSerializer::EventNames() {
    static const std::vector<std::string> names = {
        "GCM_IC_OnCallEvent",
        "GCM_IC_OnContactlistUpdate",
        "GCM_OnMessageReceivedInfo",
        "GCM_IC_OnVoicemailChanged",
        "GCM_IC_OnContactStatusChanged",
        "GCM_IC_OnDeviceAdded",
        "GCM_IC_OnDeviceRemoved",
        "GCM_IC_OnApplicationStatusChanged",
        "GCM_IC_OnDefaultICApplicationChanged",
        "GCM_IC_OnShutdown",
        "GCM_IC_OnCallReadinessChange",
        "GCM_IC_OnDeviceSelectionChanged",
    };
    return names;
}

CGCMEventSerializer::CGCMEventSerializer() : CEventSerializer(kClassName, kInterfaceName, EventNames()) {
    channel_->SetPlainOperation(Shutdown, &I::IC_OnShutdown);
    channel_->SetPlainOperation(CallReadinessChange, &I::IC_OnCallReadinessChange);
}

std::shared_ptr<IBrenCommunicationManagerEvents> CGCMEventSerializer::Sink() const {
    return std::shared_ptr<IBrenCommunicationManagerEvents>(new CGCMEventSerializer(channel_));
}

void CGCMEventSerializer::IC_OnCallEvent(const std::string& text1, const std::string& text2,
                                         const std::string& text3, const std::string& text4, int32_t value) {
    Post(CallEvent, &I::IC_OnCallEvent, text1, text2, text3, text4, value);
}

void CGCMEventSerializer::IC_OnContactlistUpdate(const std::string& text1, const std::string& text2,
                                                 const std::string& text3, int32_t value) {
    Post(ContactlistUpdate, &I::IC_OnContactlistUpdate, text1, text2, text3, value);
}

void CGCMEventSerializer::OnMessageReceivedInfo(const std::string& text1, const std::string& text2,
                                                const std::string& text3, const std::string& text4) {
    Post(MessageReceivedInfo, &I::OnMessageReceivedInfo, text1, text2, text3, text4);
}

void CGCMEventSerializer::IC_OnVoicemailChanged(const std::string& text1, const std::string& text2,
                                                int32_t value1, int32_t value2) {
    Post(VoicemailChanged, &I::IC_OnVoicemailChanged, text1, text2, value1, value2);
}

void CGCMEventSerializer::IC_OnContactStatusChanged(const std::string& text1, const std::string& text2,
                                                    const std::string& text3, int32_t value) {
    Post(ContactStatusChanged, &I::IC_OnContactStatusChanged, text1, text2, text3, value);
}

void CGCMEventSerializer::IC_OnDeviceAdded(const std::string& text1, int32_t value,
                                           const std::string& text2) {
    Post(DeviceAdded, &I::IC_OnDeviceAdded, text1, value, text2);
}

void CGCMEventSerializer::IC_OnDeviceRemoved(const std::string& text1, int32_t value,
                                             const std::string& text2, const std::string& text3) {
    Post(DeviceRemoved, &I::IC_OnDeviceRemoved, text1, value, text2, text3);
}

void CGCMEventSerializer::IC_OnApplicationStatusChanged(const std::string& text1, const std::string& text2,
                                                        int32_t value) {
    Post(ApplicationStatusChanged, &I::IC_OnApplicationStatusChanged, text1, text2, value);
}

void CGCMEventSerializer::IC_OnDefaultICApplicationChanged(const std::string& text1, const std::string& text2,
                                                           const std::string& text3) {
    Post(DefaultICApplicationChanged, &I::IC_OnDefaultICApplicationChanged, text1, text2, text3);
}

void CGCMEventSerializer::IC_OnShutdown() {
    PostPlain(Shutdown);
}

void CGCMEventSerializer::IC_OnCallReadinessChange() {
    PostPlain(CallReadinessChange);
}

void CGCMEventSerializer::IC_OnDeviceSelectionChanged(const std::string& text1, int32_t value,
                                                      const std::string& text2) {
    Post(DeviceSelectionChanged, &I::IC_OnDeviceSelectionChanged, text1, value, text2);
}
