#include "app/CVD10CommandLineInfo.h"

#include "platform/CommandLine.h"
#include "platform/TextUtil.h"

void CVD10CommandLineInfo::Parse(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        bool isSwitch = a.size() > 1 && (a.front() == '/' || a.front() == '-');
        ParseParam(isSwitch ? a.substr(1) : a, isSwitch, i + 1 == arguments.size());
    }
}

void CVD10CommandLineInfo::Parse(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv != nullptr; ++i)
        if (argv[i] != nullptr)
            arguments.emplace_back(argv[i]);
    Parse(arguments);
}

void CVD10CommandLineInfo::ParseParam(const std::string& param, bool isSwitch, bool) {
    if (isSwitch)
        ParseSwitch(param);
    else
        ParsePlain(param);
}

void CVD10CommandLineInfo::ParseSwitch(const std::string& name) {
    if (Text::EqualsNoCase(name, "hide")) {
        hide = 1;
    } else if (Text::EqualsNoCase(name, "snapdesk") || Text::EqualsNoCase(name, "vdap")) {
        openSnapDesk = 1;
    } else if (Text::EqualsNoCase(name, "Embedding")) {
        runEmbedded = true;
    } else if (Text::EqualsNoCase(name, "Automation")) {
        runAutomated = true;
    } else if (Text::EqualsNoCase(name, "Regserver") || Text::EqualsNoCase(name, "Register")) {
        shellCommand = ShellCommand::AppRegister;
    } else if (Text::EqualsNoCase(name, "Unregserver") || Text::EqualsNoCase(name, "Unregister")) {
        shellCommand = ShellCommand::AppUnregister;
    } else if (Text::EqualsNoCase(name, "pt")) {
        shellCommand = ShellCommand::FilePrintTo;
    } else if (Text::EqualsNoCase(name, "p")) {
        shellCommand = ShellCommand::FilePrint;
    } else if (Text::EqualsNoCase(name, "dde")) {
        shellCommand = ShellCommand::FileDDE;
    }
    // Any other switch means nothing to this program.
}

void CVD10CommandLineInfo::ParsePlain(const std::string& param) {
    if (fileName.empty()) {
        fileName = param;
        if (shellCommand == ShellCommand::FileNew)
            shellCommand = ShellCommand::FileOpen;
    } else if (shellCommand == ShellCommand::FilePrintTo) {
        if (printerName.empty())
            printerName = param;
        else if (driverName.empty())
            driverName = param;
        else if (portName.empty())
            portName = param;
    }
}

std::string CVD10CommandLineInfo::CommandLineAfterProgram(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc && argv != nullptr; ++i) {
        if (argv[i] == nullptr)
            continue;
        line += ' ';
        line += QuoteCommandLineArgument(argv[i]);
    }
    return line;
}

std::string CVD10CommandLineInfo::WholeCommandLine(int argc, const char* const* argv) {
    std::string program = argc > 0 && argv != nullptr && argv[0] != nullptr ? argv[0] : "";
    return QuoteCommandLineArgument(program, true) + CommandLineAfterProgram(argc, argv);
}

bool CVD10CommandLineInfo::IsInitializeAppCommandLine(int argc, const char* const* argv) {
    return Text::EqualsNoCase(CommandLineAfterProgram(argc, argv), " /initializeapp");
}
