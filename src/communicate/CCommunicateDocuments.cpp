#include "communicate/CCommunicateDocuments.h"

#include "config/COEMInfo.h"
#include "platform/CSystemInfo.h"

namespace {

std::string CallingListPath() {
    COEMInfo* oem = GetOEMInfo();
    return oem != nullptr ? oem->GetConfigFilePath("Config", "callingapps.xml", 438) : std::string();
}

} // namespace

CCommunicateDocuments::CCommunicateDocuments()
    : callingList_(std::make_unique<AppsReader::CAppsReader>(CallingListPath(), "apps")),
      editTools_(std::make_unique<CPaneConfigReader>("EditTools.xml", 435, "EditTools")),
      vloggingTools_(std::make_unique<CPaneConfigReader>("VLogTools.xml", 434, "VloggingTools")),
      tellAFriendTools_(std::make_unique<CPaneConfigReader>("Zenthia.xml", 436, "TellAFriend")),
      videoSnapTools_(std::make_unique<CPaneConfigReader>("VideoSnap.xml", 437, "VideoSnap")) {}

CCommunicateSections::Offers CCommunicateDocuments::Offers() const {
    CCommunicateSections::Offers offers;
    offers.videoCalling = callingList_->RootFound();
    offers.editTools = !editTools_->NothingToShow();
    offers.videoBlogging = !vloggingTools_->NothingToShow();
    offers.videoSnap = !videoSnapTools_->NothingToShow();
    COEMInfo* oem = GetOEMInfo();
    // Desktop gadgets need a platform of major version 6 or later.
    offers.gadgets = (oem == nullptr || oem->IsFeatureEnabled("GadgetsPane", true)) &&
                     CSystemInfo::Instance().GetVersion().major >= 6;
    return offers;
}
