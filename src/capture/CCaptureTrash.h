#pragma once
// Moves a capture to the desktop's Trash (the freedesktop Trash, so the user can restore it), and only a
// file that really lies inside the gallery's folder: a name that leads elsewhere through a link, or a path
// outside the folder, is never touched.
#include <string>

class CCaptureTrash {
public:
    enum class Outcome {
        Trashed, // now in the Trash
        Gone,    // there was no such file any more
        Refused, // not inside the folder (or not a plain file): left alone
        Failed,  // the Trash would not take it
    };

    static Outcome MoveToTrash(const std::string& path, const std::string& folder);
    // Whether the item leaves the gallery after that outcome.
    static bool LeavesGallery(Outcome outcome) {
        return outcome == Outcome::Trashed || outcome == Outcome::Gone;
    }
    // Makes sure the trash folder that takes `path` (the user's, or the one at the top of another disk)
    // exists with its "files" and "info" folders; false when it cannot be had.
    static bool TrashIsReady(const std::string& path);
    // Whether `path`, with every link resolved, is a file inside `folder` (or a folder below it).
    static bool IsInsideFolder(const std::string& path, const std::string& folder);
};
