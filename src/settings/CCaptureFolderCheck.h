#pragma once
// Whether a folder may hold the user's photos and videos: it must exist, be a folder the user can write to
// (a file can really be made in it, whatever its mode says), and not belong to the system. System folders
// are "/" and everything inside /bin, /boot, /dev, /etc, /lib, /lib32, /lib64, /libx32, /opt, /proc, /root,
// /run, /sbin, /srv, /sys, /usr and /var, plus the folders /home, /media, /mnt and /tmp themselves (the
// folders inside those are the users', the drives' and scratch space). The user's home folder and
// everything inside it is never a system folder, wherever it lives. Links are followed before the test.
#include <string>

class CCaptureFolderCheck {
public:
    enum class Verdict { Usable, Missing, SystemFolder, NotWritable };

    static Verdict Check(const std::string& folder);

    // The test on a path without links; `home` is the user's home folder the same way (empty: none).
    static bool IsSystemFolder(const std::string& canonicalPath, const std::string& home);
    // Makes and removes a file of its own in the folder.
    static bool CanCreateFileIn(const std::string& folder);
};
