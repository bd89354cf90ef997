#pragma once
// Moves the video-effects engine's events to the user-interface thread (see CEventSerializer).
#include "services/CEventSerializer.h"
#include "services/ICOCIMngrEvents.h"

#include <memory>

class CCOCIMngrEventsSerializer : public CEventSerializer<ICOCIMngrEvents> {
public:
    enum Event : size_t { Error, ModeChange, EventCount };
    static const std::vector<std::string>& EventNames();

    CCOCIMngrEventsSerializer();
    std::shared_ptr<ICOCIMngrEvents> Sink() const;

    void CME_OnError(int32_t code, const std::string& text, int32_t value) override;
    void CME_OnModeChange(int32_t value1, int32_t value2) override;

    static constexpr const char* kClassName = "CCOCIMngrEventsSerializer";
    static constexpr const char* kInterfaceName = "ICOCIMngrEvents";

private:
    explicit CCOCIMngrEventsSerializer(std::shared_ptr<Channel> channel)
        : CEventSerializer(std::move(channel)) {}
};
