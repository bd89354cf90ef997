#pragma once
// The running program's end of the vidora-sim tool: a per-user local socket in the runtime folder, served
// on a thread of its own with its own event loop, so commands are carried out even while the program's
// user-interface thread is busy in a modal loop. One command per connection: the tool writes its arguments
// as one line (separated by tabs), the server answers "OK" or "ERROR" on the first line, then text.
#include <memory>
#include <string>

class QThread;

namespace Granite {

class CSimulatedHardware;

class CSimulatorControlServer {
public:
    // The process's server, started on first use (the services take one when they start) and stopped
    // when the last holder lets it go. Null when the process has no Qt application object.
    static std::shared_ptr<CSimulatorControlServer> Acquire(std::shared_ptr<CSimulatedHardware> hardware);

    ~CSimulatorControlServer();
    CSimulatorControlServer(const CSimulatorControlServer&) = delete;
    CSimulatorControlServer& operator=(const CSimulatorControlServer&) = delete;

    // False when the socket could not be made, or another running program of this user already owns it.
    bool IsListening() const { return listening_; }
    static std::string SocketPath();

private:
    explicit CSimulatorControlServer(std::shared_ptr<CSimulatedHardware> hardware);

    std::shared_ptr<CSimulatedHardware> hardware_;
    std::unique_ptr<QThread> thread_;
    bool listening_ = false;
};

} // namespace Granite
