#pragma once
// The configuration documents behind the communicate window, read when the window is made and kept as long
// as it lives: the calling-applications list and the four tool documents. They decide which sections the
// window offers.
#include "communicate/CCommunicateSections.h"
#include "communicate/CPaneConfigReader.h"
#include "config/CAppsReader.h"

#include <memory>

class CCommunicateDocuments {
public:
    // Reads the documents, in this order: calling list, edit tools, video-blogging tools, tell a friend,
    // video snap.
    CCommunicateDocuments();

    const AppsReader::CAppsReader& CallingList() const { return *callingList_; }
    const CPaneConfigReader& EditTools() const { return *editTools_; }
    const CPaneConfigReader& VloggingTools() const { return *vloggingTools_; }
    const CPaneConfigReader& TellAFriendTools() const { return *tellAFriendTools_; }
    const CPaneConfigReader& VideoSnapTools() const { return *videoSnapTools_; }

    // What the documents offer; gadgets when the OEM switch "GadgetsPane" is on (the default) and the
    // platform's major version is 6 or later.
    CCommunicateSections::Offers Offers() const;

private:
    std::unique_ptr<AppsReader::CAppsReader> callingList_;
    std::unique_ptr<CPaneConfigReader> editTools_;
    std::unique_ptr<CPaneConfigReader> vloggingTools_;
    std::unique_ptr<CPaneConfigReader> tellAFriendTools_;
    std::unique_ptr<CPaneConfigReader> videoSnapTools_;
};
