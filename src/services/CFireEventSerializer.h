#pragma once
// Defers the device-manager facade's severity-change event to the message loop (see CEventSerializer).
#include "services/CEventSerializer.h"
#include "services/IFireEvent.h"

#include <memory>

class CFireEventSerializer : public CEventSerializer<IFireEvent> {
public:
    enum Event : size_t { SeverityChanged, EventCount };
    static const std::vector<std::string>& EventNames();

    CFireEventSerializer();
    std::shared_ptr<IFireEvent> Sink() const;

    void FireSeverityChangedEvent(const std::string& deviceId, int32_t newValue, int32_t oldValue) override;

    static constexpr const char* kClassName = "CFireEventSerializer";
    static constexpr const char* kInterfaceName = "IFireEvent";

private:
    explicit CFireEventSerializer(std::shared_ptr<Channel> channel) : CEventSerializer(std::move(channel)) {}
};
