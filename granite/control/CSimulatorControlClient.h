#pragma once
// The vidora-sim tool's end of the control socket: sends one command to the running program and reads its
// answer.
#include <string>
#include <vector>

namespace Granite {

class CSimulatorControlClient {
public:
    enum class Result { Done, Refused, NotRunning };

    // Sends the arguments (already checked by the command parser) and waits at most `timeoutMs` for the
    // answer, whose text goes to `output`. NotRunning when nobody listens or the answer does not come.
    static Result Send(const std::vector<std::string>& args, std::string& output, int timeoutMs = 5000);
};

} // namespace Granite
