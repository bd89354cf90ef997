#pragma once
// vidora-reg: reads, writes, lists, exports and imports the settings store from the command line. The logic
// lives here so tests can run it in-process; the executable only hands over argv and the standard streams.
//
// Exit codes: 0 success, 1 the key or value does not exist or the store refused the operation, 2 usage error.
#include "platform/CRegistry.h"

#include <iosfwd>
#include <string>
#include <vector>

class CRegTool {
public:
    CRegTool(CRegistry& registry, std::istream& in, std::ostream& out, std::ostream& err);

    // `args` without the program name.
    int Run(const std::vector<std::string>& args);
    int Run(int argc, const char* const* argv);

    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;

    // The export format, also used by tests: a .reg-like text dump of `path` and everything below it.
    // Returns false when the key does not exist.
    bool Export(Hive hive, const std::string& path, std::ostream& out);
    // Reads an export back. Returns the number of lines that could not be applied (each reported on `err`).
    int Import(std::istream& in, const std::string& sourceName);

    static const char* TypeName(uint32_t type);
    // "\"text\"" with backslash escapes for '\\', '"' and control characters.
    static std::string Quote(const std::string& text);

private:
    int Usage(const std::string& message);
    int Get(const std::vector<std::string>& pos);
    int Set(const std::vector<std::string>& pos);
    int Delete(const std::vector<std::string>& pos);
    int List(const std::vector<std::string>& pos);
    int ExportCommand(const std::vector<std::string>& pos);
    int ImportCommand(const std::vector<std::string>& pos);
    bool ParseKey(const std::string& text, Hive& hive, std::string& path);
    int Report(HRESULT hr, const std::string& what);
    void PrintHelp();
    void ExportKey(Hive hive, const std::string& path, std::ostream& out);

    CRegistry& registry_;
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    bool volatile_ = false;
    std::string keyClass_ = "DEFAULT_CLASS";
};
