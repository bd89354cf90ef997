#pragma once
// The program's command line. Switches begin with "/" or "-" and compare without regard to case:
//   hide                      start with the main window hidden
//   snapdesk, vdap            open the capture window
//   Embedding, Automation     started by another program to serve its objects (no window)
//   Regserver, Register       register the program's objects and end
//   Unregserver, Unregister   remove that registration and end
//   p, pt                     print the document parameter (pt: on the printer, driver and port after it)
// Other switches and parameters are recorded where the standard meaning gives them a place and otherwise
// ignored; nothing on the command line can make start-up fail.
#include <cstdint>
#include <string>
#include <vector>

class CVD10CommandLineInfo {
public:
    enum class ShellCommand {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister
    };

    // Parses the arguments after the program name.
    void Parse(const std::vector<std::string>& arguments);
    void Parse(int argc, const char* const* argv);
    // One parameter; `isSwitch` with the "/" or "-" already removed.
    void ParseParam(const std::string& param, bool isSwitch, bool isLast);

    uint32_t hide = 0;
    uint32_t openSnapDesk = 0;
    bool runEmbedded = false;
    bool runAutomated = false;
    ShellCommand shellCommand = ShellCommand::FileNew;
    std::string fileName;
    std::string printerName;
    std::string driverName;
    std::string portName;

    // The process's whole command line as the platform gives it: the program name in quotes, then each
    // argument after a blank, quoted where it needs to be. Started with the single argument "/initializeapp"
    // the part after the program name is " /initializeapp".
    static std::string WholeCommandLine(int argc, const char* const* argv);
    // The whole command line without the program name (its quotes included).
    static std::string CommandLineAfterProgram(int argc, const char* const* argv);
    // The installer's initialise-only start: the command line after the program name is exactly
    // " /initializeapp", without regard to case.
    static bool IsInitializeAppCommandLine(int argc, const char* const* argv);

private:
    void ParseSwitch(const std::string& name);
    void ParsePlain(const std::string& param);
};
