#pragma once
// The rows of the video-calling section, without any window: which calling program each row stands for,
// how the row finds that program in the communications manager's list, where its install page is, and how
// the rows close up when some are not offered.
//
// A row looks its program up by id first and then by display name, under each of its names in turn: the
// list names some programs differently from the row ("Yahoo Messenger" is listed as "Yahoo! Messenger"),
// and the programs the manager finds itself carry their display name as their id.
#include "services/ApplicationInfo.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class IGraniteCommunicationsManager;

class CCallingAppRows {
public:
    static constexpr int kRowCount = 6;
    // How far a row below a hidden one moves up, per hidden row above it.
    static constexpr int kRowPitch = 60;

    struct Row {
        int button;                // the row's link button
        const char* installTextId; // the OEM text of the install address; null: none
        uint32_t installFallback;  // the string used when the OEM document gives no address
    };
    static const Row& RowAt(int index);
    // The row of a link button; -1 for any other id.
    static int IndexOfButton(int button);

    // The names the row's program may be listed under, the first one the row's display name.
    static std::vector<std::string> NamesOf(int index);
    // The row's program in the manager's list; false when it is not listed or the manager fails.
    static bool Find(IGraniteCommunicationsManager& manager, int index, ApplicationInfo* out);
    // Where the row's program can be installed from.
    static std::string InstallAddress(int index);

    // How far each row moves up so that the offered rows close up: kRowPitch for every hidden row above it.
    static std::array<int, kRowCount> UpwardShifts(const std::array<bool, kRowCount>& offered);
    // The last offered row; -1 when none is.
    static int LastOffered(const std::array<bool, kRowCount>& offered);
};
