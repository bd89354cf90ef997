#pragma once
// The process-wide slots of the communicate window's sub-panes, one per section: empty while the section's
// pane does not exist; a pane empties its slot itself when it is destroyed. Any section handler reaches the
// other sections' panes here to close them. User-interface thread only.
#include "ui/CWindowSlot.h"

class CCommunicationsEditToolsPane;
class CCommunicationsGadgetsPane;
class CCommunicationsTellAFriendPane;
class CCommunicationsVideoCallingPane;
class CCommunicationsVideoSnapPane;
class CCommunicationsVLoggingPane;

namespace CommunicatePanes {

CWindowSlot<CCommunicationsVideoCallingPane>& VideoCalling();
CWindowSlot<CCommunicationsEditToolsPane>& EditTools();
CWindowSlot<CCommunicationsVideoSnapPane>& VideoSnap();
CWindowSlot<CCommunicationsVLoggingPane>& VideoBlogging();
CWindowSlot<CCommunicationsTellAFriendPane>& TellAFriend();
CWindowSlot<CCommunicationsGadgetsPane>& Gadgets();

} // namespace CommunicatePanes
