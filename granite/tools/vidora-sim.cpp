// vidora-sim: changes the simulated devices of the running Vidora program from a terminal or a script.
// Exit status: 0 done, 1 the program is not running or refused the command, 2 usage error.
#include "granite/control/CSimulatorCommand.h"
#include "granite/control/CSimulatorControlClient.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        std::fputs(Granite::CSimulatorCommand::Usage().c_str(), stdout);
        return 0;
    }
    Granite::SimulatorCommand command;
    std::string error;
    if (!Granite::CSimulatorCommand::Parse(args, command, error)) {
        std::fprintf(stderr, "vidora-sim: %s\n", error.c_str());
        if (args.empty())
            std::fputs(Granite::CSimulatorCommand::Usage().c_str(), stderr);
        return 2;
    }
    std::string output;
    switch (Granite::CSimulatorControlClient::Send(args, output)) {
    case Granite::CSimulatorControlClient::Result::Done:
        std::fputs(output.c_str(), stdout);
        return 0;
    case Granite::CSimulatorControlClient::Result::Refused:
        std::fprintf(stderr, "vidora-sim: %s", output.empty() ? "refused\n" : output.c_str());
        return 1;
    case Granite::CSimulatorControlClient::Result::NotRunning:
        break;
    }
    std::fputs("vidora-sim: Vidora is not running (or does not use the simulated devices)\n", stderr);
    return 1;
}
