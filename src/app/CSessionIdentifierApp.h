#pragma once
// Whether a process (the one holding the camera) runs as the current user: the per-user process test.
// The table of the user's processes has no fixed size: a user with more than a thousand processes must not
// see the camera of their own process reported as held by somebody else.
#include "platform/CSystemInfo.h"

#include <cstdint>
#include <string>
#include <vector>

class CSessionIdentifierApp {
public:
    // Takes the platform version now. `procRoot` is where the process table is read from (tests give a
    // folder of their own).
    explicit CSessionIdentifierApp(std::string procRoot = "/proc");

    // Fills the table with the ids of the current user's processes. Runs only on platform versions above
    // 4 with a minor version above 0; false (and an empty table) when it did not run, the process table
    // could not be read or the current user could not be determined.
    bool EnumerateSessionProcesses();
    // 1 when the process belongs to the current user, 0 otherwise; the table is read afresh each time.
    int IsPIDInCurrentSession(uint32_t pid);

    const std::vector<uint32_t>& GetSessionProcesses() const { return sessionProcesses_; }
    // How many processes of all users the last enumeration saw.
    size_t GetEnumeratedCount() const { return enumeratedCount_; }

private:
    std::string procRoot_;
    PlatformVersion version_;
    std::vector<uint32_t> sessionProcesses_;
    size_t enumeratedCount_ = 0;
};
