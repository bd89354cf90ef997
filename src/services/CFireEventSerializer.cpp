#include "services/CFireEventSerializer.h"

const std::vector<std::string>& CFireEventSerializer::EventNames() {
    static const std::vector<std::string> names = {"FireSeverityChangedEvent"};
    return names;
}

CFireEventSerializer::CFireEventSerializer() : CEventSerializer(kClassName, kInterfaceName, EventNames()) {}

std::shared_ptr<IFireEvent> CFireEventSerializer::Sink() const {
    return std::shared_ptr<IFireEvent>(new CFireEventSerializer(channel_));
}

void CFireEventSerializer::FireSeverityChangedEvent(const std::string& deviceId, int32_t newValue,
                                                    int32_t oldValue) {
    Post(SeverityChanged, &IFireEvent::FireSeverityChangedEvent, deviceId, newValue, oldValue);
}
