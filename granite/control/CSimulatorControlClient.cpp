#include "granite/control/CSimulatorControlClient.h"

#include "granite/control/CSimulatorControlServer.h"

#include <QElapsedTimer>
#include <QLocalSocket>

#include <algorithm>

namespace Granite {

CSimulatorControlClient::Result CSimulatorControlClient::Send(const std::vector<std::string>& args,
                                                              std::string& output, int timeoutMs) {
    output.clear();
    QElapsedTimer timer;
    timer.start();
    auto remaining = [&] { return std::max(0, timeoutMs - static_cast<int>(timer.elapsed())); };

    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(CSimulatorControlServer::SocketPath()));
    if (!socket.waitForConnected(remaining()))
        return Result::NotRunning;
    QByteArray line;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += QByteArray::fromStdString(args[i]);
    }
    line += '\n';
    socket.write(line);
    if (!socket.waitForBytesWritten(remaining()))
        return Result::NotRunning;
    // The server answers and closes the connection: read until it does.
    QByteArray answer;
    while (socket.state() == QLocalSocket::ConnectedState && remaining() > 0) {
        if (!socket.waitForReadyRead(remaining()))
            break;
        answer += socket.readAll();
    }
    answer += socket.readAll();
    const qsizetype newline = answer.indexOf('\n');
    if (newline < 0)
        return Result::NotRunning;
    const QByteArray status = answer.left(newline);
    output = answer.mid(newline + 1).toStdString();
    if (status == "OK")
        return Result::Done;
    if (status == "ERROR")
        return Result::Refused;
    return Result::NotRunning;
}

} // namespace Granite
