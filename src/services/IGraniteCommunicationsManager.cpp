#include "services/IGraniteCommunicationsManager.h"

#include "services/ICommunicationsService.h"

bool IsVideoCallCandidate(IGraniteCommunicationsManager& manager, const ApplicationInfo& application) {
    switch (application.type) {
    case COMMS_APP_RUNNING:
    case COMMS_APP_IN_CALL:
    case COMMS_APP_LOCAL:
        break;
    default:
        return false;
    }
    if (application.flag2 == 0)
        return false;
    std::string user;
    return SUCCEEDED(manager.ServiceCall27(application.name, &user)) && !user.empty();
}
