#pragma once
#include "platform/IClock.h"

// The machine's monotonic and calendar clocks.
class CSystemClock : public IClock {
public:
    uint32_t GetTickCount() override;
    SystemTime GetUtcTime() override;
    SystemTime GetLocalTime() override;
};
