#include "platform/CVidoraNamedEvents.h"

#include "platform/CNamedEvent.h"
#include "platform/DebugOutput.h"

#include <array>
#include <memory>

namespace {

constexpr const char* kNames[CVidoraNamedEvents::kCount] = {
    "VD_FACETRACKING_EVENT_ID",       "VD_FACETRACKING_OFF_EVENT_ID", "VD_FACETRACKING_SINGLE_EVENT_ID",
    "VD_FACETRACKING_MULTI_EVENT_ID", "VD_START_STREAMING_EVENT_ID",  "VD_END_STREAMING_EVENT_ID",
    "VD_MIRROR_HORZ_ON_EVENT_ID",     "VD_MIRROR_HORZ_OFF_EVENT_ID",  "VD_MIRROR_VERT_ON_EVENT_ID",
    "VD_MIRROR_VERT_OFF_EVENT_ID",
};

struct EventTable {
    std::mutex lock;
    std::array<std::unique_ptr<CNamedEvent>, CVidoraNamedEvents::kCount> events;
    bool created = false;
};

// Never destroyed: the events must stay open until the process ends, after every static destructor.
EventTable& Table() {
    static EventTable* table = new EventTable;
    return *table;
}

} // namespace

const char* CVidoraNamedEvents::Name(int index) {
    if (index < 0 || index >= kCount)
        return nullptr;
    return kNames[index];
}

bool CVidoraNamedEvents::EnsureCreated() {
    EventTable& table = Table();
    if (table.created)
        return true;
    for (int i = 0; i < kCount; ++i) {
        auto event = std::make_unique<CNamedEvent>();
        if (!event->Create(kNames[i], false, false)) {
            OutputDebugString("Ribbon: a named state event could not be created; none is signalled");
            for (auto& e : table.events)
                e.reset();
            return false;
        }
        table.events[i] = std::move(event);
    }
    table.created = true;
    return true;
}

bool CVidoraNamedEvents::Signal(int index) {
    if (index < 0 || index >= kCount)
        return false;
    std::lock_guard guard(Table().lock);
    if (!EnsureCreated())
        return false;
    return Table().events[index]->Set();
}

void CVidoraNamedEvents::CloseAll() {
    EventTable& table = Table();
    std::lock_guard guard(table.lock);
    for (auto& e : table.events)
        e.reset();
    table.created = false;
}
