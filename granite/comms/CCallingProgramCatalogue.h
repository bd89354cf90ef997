#pragma once
// The video-calling and messaging programs the communications service knows by name: the ids their
// packages give their desktop entries (distribution packages, Flatpak and Snap), the process names they run
// under, and what they can do. Programs not listed here are still found through their desktop entry's
// categories (VideoConference, InstantMessaging).
#include <string>
#include <vector>

namespace Granite {

struct KnownCallingProgram {
    std::vector<std::string> desktopIds;
    std::vector<std::string> processNames;
    bool video = false;
    bool messaging = false;
};

class CCallingProgramCatalogue {
public:
    static const std::vector<KnownCallingProgram>& Programs();
    // The program whose desktop ids include `desktopId`; null for none.
    static const KnownCallingProgram* Find(const std::string& desktopId);
};

} // namespace Granite
