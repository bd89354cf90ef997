#include "granite/control/CSimulatorControlServer.h"

#include "granite/control/CSimulatorCommand.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/DebugOutput.h"
#include "platform/SpecialFolders.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <future>
#include <mutex>

namespace Granite {
namespace {
// A command line is short; a client that sends more, or nothing for long, is not one of ours.
constexpr qint64 kMaxLine = 8192;
constexpr int kClientTimeoutMs = 5000;

std::mutex g_serverLock;
std::weak_ptr<CSimulatorControlServer> g_server;

QByteArray Answer(bool ok, const std::string& text) {
    return QByteArray(ok ? "OK\n" : "ERROR\n") + QByteArray::fromStdString(text);
}

std::vector<std::string> SplitArguments(const QByteArray& line) {
    std::vector<std::string> args;
    for (const QByteArray& part : line.split('\t'))
        args.push_back(part.toStdString());
    return args;
}

// Carries out one command line.
QByteArray Handle(CSimulatedDeviceControl& control, const QByteArray& line) {
    SimulatorCommand command;
    std::string error;
    if (!CSimulatorCommand::Parse(SplitArguments(line), command, error))
        return Answer(false, error + "\n");
    std::string output;
    const bool ok = CSimulatorCommand::Execute(command, control, output);
    return Answer(ok, output);
}

// The server's thread: the local server lives, listens and is destroyed here.
class CControlThread : public QThread {
public:
    CControlThread(std::shared_ptr<CSimulatedHardware> hardware, QString path, std::promise<bool> listening)
        : hardware_(std::move(hardware)), path_(std::move(path)), listening_(std::move(listening)) {}

protected:
    void run() override {
        CSimulatedDeviceControl control(hardware_);
        QLocalServer server;
        server.setSocketOptions(QLocalServer::UserAccessOption);
        if (!TakeOverPath() || !server.listen(path_)) {
            listening_.set_value(false);
            return;
        }
        QObject::connect(&server, &QLocalServer::newConnection, [&server, &control] {
            while (QLocalSocket* socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                QTimer::singleShot(kClientTimeoutMs, socket, [socket] { socket->abort(); });
                QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, &control] {
                    if (!socket->canReadLine()) {
                        if (socket->bytesAvailable() > kMaxLine)
                            socket->abort();
                        return;
                    }
                    const QByteArray line = socket->readLine(kMaxLine).chopped(1);
                    socket->write(Handle(control, line));
                    socket->flush();
                    socket->disconnectFromServer();
                });
            }
        });
        listening_.set_value(true);
        exec();
        server.close();
    }

private:
    // Takes the socket's path unless another running program of this user answers on it; a socket left
    // behind by a program that died is replaced.
    bool TakeOverPath() {
        QLocalSocket probe;
        probe.connectToServer(path_);
        if (probe.waitForConnected(200)) {
            probe.abort();
            OutputDebugString("vidora-sim control socket is in use by another running program");
            return false;
        }
        QLocalServer::removeServer(path_);
        return true;
    }

    std::shared_ptr<CSimulatedHardware> hardware_;
    QString path_;
    std::promise<bool> listening_;
};
} // namespace

std::string CSimulatorControlServer::SocketPath() {
    return SpecialFolders::RuntimeDir() + "/simulator.sock";
}

std::shared_ptr<CSimulatorControlServer>
CSimulatorControlServer::Acquire(std::shared_ptr<CSimulatedHardware> hardware) {
    // An event loop needs the application object; a process without one (a benchmark) has no server.
    if (QCoreApplication::instance() == nullptr || !hardware)
        return nullptr;
    std::lock_guard guard(g_serverLock);
    if (auto existing = g_server.lock())
        return existing;
    std::shared_ptr<CSimulatorControlServer> server(new CSimulatorControlServer(std::move(hardware)));
    g_server = server;
    return server;
}

CSimulatorControlServer::CSimulatorControlServer(std::shared_ptr<CSimulatedHardware> hardware)
    : hardware_(std::move(hardware)) {
    std::promise<bool> listening;
    std::future<bool> result = listening.get_future();
    thread_ = std::make_unique<CControlThread>(hardware_, QString::fromStdString(SocketPath()),
                                               std::move(listening));
    thread_->start();
    // Listening is quick; waiting for it means a tool started right after the program finds the socket.
    listening_ = result.wait_for(std::chrono::seconds(10)) == std::future_status::ready && result.get();
}

CSimulatorControlServer::~CSimulatorControlServer() {
    thread_->quit();
    thread_->wait();
}

} // namespace Granite
