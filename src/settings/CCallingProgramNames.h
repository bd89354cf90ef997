#pragma once
// The video-calling programs the preferences offer, and how their names are shown and stored. A program is
// offered when the communications manager lists it ready for a video call (IsVideoCallCandidate: running,
// video, a user signed in). Names are shown and stored without the word "Triton" (one program was renamed and
// users know it by its short name) and without blanks at either end; a stored name matches an entry when
// both read the same that way, without regard to case, so "AIM Triton" and "aim" are one program.
#include <string>
#include <vector>

class IGraniteCommunicationsManager;

class CCallingProgramNames {
public:
    // `name` with every "Triton" removed and blanks trimmed at both ends.
    static std::string Shown(const std::string& name);
    // Whether two names (stored or listed) are the same program.
    static bool Same(const std::string& a, const std::string& b);
    // Position of the entry that is the same program as `stored`; -1 when none is (or `stored` is empty).
    static int Find(const std::vector<std::string>& entries, const std::string& stored);

    // The shown names of the programs ready for a video call, in the manager's order, each once; programs
    // whose name is empty once shown are left out. The manager's list is refreshed first; when that fails
    // part-way, what it holds is used. Empty without a manager.
    static std::vector<std::string> ReadyPrograms(IGraniteCommunicationsManager* manager);
};
