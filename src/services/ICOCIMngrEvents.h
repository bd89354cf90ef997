#pragma once
// The video-effects engine's events; delivered to the effects facade on the user-interface thread through
// CCOCIMngrEventsSerializer.
#include <cstdint>
#include <string>

class ICOCIMngrEvents {
public:
    virtual ~ICOCIMngrEvents() = default;
    virtual void CME_OnError(int32_t code, const std::string& text, int32_t value) = 0;
    virtual void CME_OnModeChange(int32_t value1, int32_t value2) = 0;
};
