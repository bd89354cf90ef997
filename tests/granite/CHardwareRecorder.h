#pragma once
// A listener to a device layer (simulated, V4L2 or the sound server's): records every hardware event.
#include "CEventLog.h"
#include "granite/devices/CSimulatedHardware.h"

#include <string>

class CHardwareRecorder : public Granite::IHardwareListener, public CEventLog<Granite::HardwareEvent> {
public:
    void OnHardwareEvent(const Granite::HardwareEvent& event) override { Add(event); }
    // Whether an event of the type came for the device; with a property, one that set it to `value`.
    bool Saw(Granite::HardwareEvent::Type type, const std::string& id, int32_t property = -1,
             int32_t value = 0) const {
        for (const Granite::HardwareEvent& e : Events()) {
            if (e.type == type && e.id == id &&
                (property < 0 || (e.number == property && e.newValue.GetI4() == value)))
                return true;
        }
        return false;
    }
};
