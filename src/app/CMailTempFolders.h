#pragma once
// The numbered folders that hold the copies of captures sent by e-mail, "<runtime>/mail/BrenMailTemp0001"
// and up. Each is a private folder (mode 0700) made exclusively, and carries a record file written when it
// was made, naming the process that made it. Clean-up deletes only folders with such a record: a folder of
// the same name that this program did not make is left alone, and no symbolic link is ever followed.
#include <string>

class CMailTempFolders {
public:
    static constexpr const char* kBaseName = "BrenMailTemp";
    // The record file inside each folder we made.
    static constexpr const char* kRecordFileName = ".vidora-mail-folder";
    static constexpr int kHighestNumber = 9999;

    // "<runtime folder>/mail"; "" when there is no runtime folder.
    static std::string Root();
    // Makes the next free numbered folder: the first of "BrenMailTemp0001", "BrenMailTemp0002", ... that
    // does not exist yet. Its path, or "" when no folder could be made.
    static std::string CreateNext();
    // Deletes the recorded folders left behind by an earlier run (one whose process is gone). The number
    // of folders deleted.
    static int RemoveStale();
    // Deletes the recorded folders this process made. The number of folders deleted.
    static int RemoveOwn();

    // "BrenMailTemp" followed by digits, compared without regard to case.
    static bool IsFolderName(const std::string& name);
    // The record this process writes into its folders.
    static std::string OwnRecord();
    // The process id a record names; 0 when the record is not one of ours.
    static long RecordedProcess(const std::string& record);

private:
    enum class Which { Stale, Own };
    static int Remove(Which which);
    // Opens (making it when missing) the root folder; -1 when it is not a private folder of ours.
    static int OpenRoot();
};
