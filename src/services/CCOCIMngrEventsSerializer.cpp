#include "services/CCOCIMngrEventsSerializer.h"

const std::vector<std::string>& CCOCIMngrEventsSerializer::EventNames() {
    static const std::vector<std::string> names = {"CME_OnError", "CME_OnModeChange"};
    return names;
}

CCOCIMngrEventsSerializer::CCOCIMngrEventsSerializer()
    : CEventSerializer(kClassName, kInterfaceName, EventNames()) {}

std::shared_ptr<ICOCIMngrEvents> CCOCIMngrEventsSerializer::Sink() const {
    return std::shared_ptr<ICOCIMngrEvents>(new CCOCIMngrEventsSerializer(channel_));
}

void CCOCIMngrEventsSerializer::CME_OnError(int32_t code, const std::string& text, int32_t value) {
    Post(Error, &ICOCIMngrEvents::CME_OnError, code, text, value);
}

void CCOCIMngrEventsSerializer::CME_OnModeChange(int32_t value1, int32_t value2) {
    Post(ModeChange, &ICOCIMngrEvents::CME_OnModeChange, value1, value2);
}
