#pragma once
// The programs Vidora starts: the updater (three command lines), the audio wizard or else the desktop's
// sound settings, and any program given as a whole command line. Nothing goes through a shell.
#include "platform/CSystemInfo.h"
#include "platform/HResult.h"

#include <cstdint>
#include <string>
#include <vector>

enum UpdaterMode : uint32_t {
    kUpdaterPeriodic = 0,
    kUpdaterConfigure = 1,
    kUpdaterCheckNow = 2,
};

// Starts the program of a whole command line (program and arguments quoted as CommandLine.h describes).
// S_OK when it started, E_FAIL otherwise (an empty line included).
HRESULT RunProcess(const std::string& commandLine);

// Starts the updater in a mode. S_OK when it started; E_FAIL when it did not, for mode 3 (which has no
// command line) and for any mode above.
HRESULT RunUpdater(uint32_t mode);

// The updater's command line for a mode; "" for a mode without one. Every part but the updater's path is
// lower-cased: the path must name the file as it is on disk.
std::string UpdaterCommandLine(uint32_t mode);

// The updater's three-letter language code ("ENU", "DEU", ...) for a language id; "ENU" for one it does
// not know.
std::string UpdaterLanguageCode(LANGID language);

// Whether the audio wizard is installed beside the executable: an executable regular file there.
bool AudioWizardInstalled();

// Starts the audio wizard beside the executable, with the wait cursor shown meanwhile; nothing when it is not
// installed. A wizard that cannot be started is not reported.
void LaunchAudioWizard();

// What the audio settings' wizard button starts, program first: the audio wizard when it is installed, else
// the desktop's own sound settings (CSoundSettingsFinder on this session's PATH); empty when neither is
// there.
std::vector<std::string> AudioTuningCommand();

// Starts AudioTuningCommand(), with the wait cursor shown meanwhile. False when there is nothing to start; a
// program that cannot be started is not reported.
bool LaunchAudioTuning();

inline constexpr const char* kAudioWizardFileName = "ATWizard.exe";
inline constexpr int kUpdaterVersionMajor = 11;
inline constexpr int kUpdaterVersionMinor = 0;
inline constexpr int kUpdaterVersionBuild = 0;
