#pragma once
// The device-manager facade's own deferred event: a change of the low-light severity, delivered from the
// message loop (through CFireEventSerializer) so that work requested inside a handler runs after it.
#include <cstdint>
#include <string>

class IFireEvent {
public:
    virtual ~IFireEvent() = default;
    virtual void FireSeverityChangedEvent(const std::string& deviceId, int32_t newValue,
                                          int32_t oldValue) = 0;
};
