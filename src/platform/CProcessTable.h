#pragma once
// The processes of the machine with the user each runs as, read from the proc file system. Processes that
// end while the table is read are left out; processes whose owner cannot be read (another user's, on a
// system that hides them) are left out too.
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct ProcessEntry {
    pid_t pid = 0;
    uid_t uid = 0; // the effective user the process runs as
};

class CProcessTable {
public:
    // `procRoot` is the proc file system's mount point; tests point it at a folder of their own.
    explicit CProcessTable(std::string procRoot = "/proc");

    // Reads the table afresh; false when the proc file system cannot be read.
    bool Refresh();
    const std::vector<ProcessEntry>& Processes() const { return processes_; }

    // The effective user of one entry of the proc file system ("self" or a process id).
    std::optional<uid_t> OwnerOf(const std::string& entry) const;

private:
    std::string procRoot_;
    std::vector<ProcessEntry> processes_;
};
