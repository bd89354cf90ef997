#include "communicate/CommunicatePanes.h"

#include "communicate/CCommunicationsEditToolsPane.h"
#include "communicate/CCommunicationsGadgetsPane.h"
#include "communicate/CCommunicationsTellAFriendPane.h"
#include "communicate/CCommunicationsVLoggingPane.h"
#include "communicate/CCommunicationsVideoCallingPane.h"
#include "communicate/CCommunicationsVideoSnapPane.h"

namespace CommunicatePanes {

// The slots live as long as the process: a pane may still be destroyed during its teardown.
template <class T> CWindowSlot<T>& MakeSlot() {
    return *new CWindowSlot<T>();
}

CWindowSlot<CCommunicationsVideoCallingPane>& VideoCalling() {
    static auto& slot = MakeSlot<CCommunicationsVideoCallingPane>();
    return slot;
}
CWindowSlot<CCommunicationsEditToolsPane>& EditTools() {
    static auto& slot = MakeSlot<CCommunicationsEditToolsPane>();
    return slot;
}
CWindowSlot<CCommunicationsVideoSnapPane>& VideoSnap() {
    static auto& slot = MakeSlot<CCommunicationsVideoSnapPane>();
    return slot;
}
CWindowSlot<CCommunicationsVLoggingPane>& VideoBlogging() {
    static auto& slot = MakeSlot<CCommunicationsVLoggingPane>();
    return slot;
}
CWindowSlot<CCommunicationsTellAFriendPane>& TellAFriend() {
    static auto& slot = MakeSlot<CCommunicationsTellAFriendPane>();
    return slot;
}
CWindowSlot<CCommunicationsGadgetsPane>& Gadgets() {
    static auto& slot = MakeSlot<CCommunicationsGadgetsPane>();
    return slot;
}

} // namespace CommunicatePanes
