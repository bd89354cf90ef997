#include "services/CGraniteCommunicationsManagerLocalApps.h"

#include "platform/CRegistry.h"
#include "platform/TextUtil.h"

#include <filesystem>
#include <system_error>

namespace {

// A text value of the machine's settings (REG_SZ or REG_EXPAND_SZ); empty when missing or of another type.
std::string ReadText(Hive hive, const std::string& key, const std::string& name) {
    RegValue value;
    if (FAILED(CRegistry::Instance().QueryValue(hive, key, name, value)))
        return {};
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return {};
    return value.text;
}

std::string StripQuotes(const std::string& text) {
    std::string t = Text::Trim(text);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        t = Text::Trim(t.substr(1, t.size() - 2));
    return t;
}

} // namespace

std::string CGraniteCommunicationsManagerLocalApps::ExistingProgram(const std::string& candidate) {
    std::string path = StripQuotes(candidate);
    // A relative path would depend on the folder this process happens to run in.
    if (path.empty() || path.front() != '/')
        return {};
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::canonical(path, error);
    if (error)
        return {};
    if (!std::filesystem::is_regular_file(canonical, error) || error)
        return {};
    return canonical.string();
}

std::string CGraniteCommunicationsManagerLocalApps::IconPath(const std::string& displayIcon) {
    return StripQuotes(displayIcon.substr(0, displayIcon.find(',')));
}

std::string CGraniteCommunicationsManagerLocalApps::ProgramOfCommand(const std::string& command) {
    std::string line = Text::Trim(command);
    if (line.empty())
        return {};
    if (line.front() == '"') {
        size_t end = line.find('"', 1);
        return end == std::string::npos ? line.substr(1) : line.substr(1, end - 1);
    }
    if (!ExistingProgram(line).empty())
        return line;
    return line.substr(0, line.find_first_of(" \t"));
}

std::string CGraniteCommunicationsManagerLocalApps::ProbeLiveMessenger() {
    std::string path = ReadText(Hive::LocalMachine, kMessengerAppPathKey, "");
    if (Text::Trim(path).empty()) {
        // Through the class its program id names: the class id, then that class's local server.
        const std::string classesKey = std::string("SOFTWARE\\Classes\\") + kMessengerProgId + "\\CLSID";
        std::string clsid = Text::Trim(ReadText(Hive::LocalMachine, classesKey, ""));
        std::string server;
        if (!clsid.empty())
            server =
                ReadText(Hive::LocalMachine, "SOFTWARE\\Classes\\CLSID\\" + clsid + "\\LocalServer32", "");
        path = ProgramOfCommand(server);
    }
    return ExistingProgram(path);
}

std::string CGraniteCommunicationsManagerLocalApps::ProbeQQ() {
    return ExistingProgram(ReadText(Hive::LocalMachine, kQQKey, kQQValue));
}

std::string CGraniteCommunicationsManagerLocalApps::ProbeCallhub() {
    return ExistingProgram(IconPath(ReadText(Hive::LocalMachine, kCallhubKey, kCallhubValue)));
}
