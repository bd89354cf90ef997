#pragma once
// The desktop's own sound settings: the first installed of a few well-known Linux sound-settings programs,
// looked for on the search path. A program that belongs to the desktop the session runs (as
// XDG_CURRENT_DESKTOP names it) comes before the others; of the rest, the PulseAudio volume control leads, as
// it works on any desktop whose sound goes through PulseAudio or PipeWire.
#include <string>
#include <vector>

class CSoundSettingsFinder {
public:
    // `searchPath` as PATH ("/usr/local/bin:/usr/bin"), `desktops` as XDG_CURRENT_DESKTOP ("ubuntu:GNOME").
    // Folders of the search path that are not absolute (the current folder among them) are not searched.
    CSoundSettingsFinder(std::string searchPath, std::string desktops);

    // The finder for this process's PATH and XDG_CURRENT_DESKTOP.
    static CSoundSettingsFinder ForSession();

    // What to start: the program's full path, then its arguments. Empty when none is installed. A program is
    // installed when a folder of the search path holds an executable regular file of its name; the earliest
    // such folder gives its path.
    std::vector<std::string> Find() const;

private:
    std::vector<std::string> folders_;
    std::vector<std::string> desktops_;
};
