#include "app/CInstanceChannel.h"

#include "platform/SpecialFolders.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
// One message is one line: "<name>\t<wParam>\t<lParam>\n"; the answer is "<result>\n".
constexpr qint64 kMaxLine = 1024;

bool ParseLine(const QByteArray& line, std::string& name, uintptr_t& wParam, intptr_t& lParam) {
    QList<QByteArray> parts = line.trimmed().split('\t');
    if (parts.size() != 3 || parts[0].isEmpty())
        return false;
    bool okW = false, okL = false;
    wParam = static_cast<uintptr_t>(parts[1].toULongLong(&okW));
    lParam = static_cast<intptr_t>(parts[2].toLongLong(&okL));
    name = parts[0].toStdString();
    return okW && okL;
}
} // namespace

CInstanceChannel::CInstanceChannel(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

CInstanceChannel::~CInstanceChannel() {
    Close();
}

std::string CInstanceChannel::SocketPath() {
    const std::string folder = SpecialFolders::RuntimeDir();
    return folder.empty() ? std::string() : folder + "/instance.sock";
}

bool CInstanceChannel::Listen() {
    Close();
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path = QString::fromStdString(SocketPath());
    if (path.isEmpty()) {
        server_.reset();
        return false;
    }
    QLocalServer::removeServer(path);
    if (!server_->listen(path)) {
        server_.reset();
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    return true;
}

void CInstanceChannel::Close() {
    if (server_) {
        server_->close();
        server_.reset();
    }
}

bool CInstanceChannel::IsListening() const {
    return server_ && server_->isListening();
}

void CInstanceChannel::OnNewConnection() {
    while (QLocalSocket* socket = server_ ? server_->nextPendingConnection() : nullptr) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxLine)
                    socket->abort(); // nobody sends lines that long: not one of ours
                return;
            }
            QByteArray line = socket->readLine(kMaxLine);
            std::string name;
            uintptr_t wParam = 0;
            intptr_t lParam = 0;
            intptr_t result = 0;
            if (ParseLine(line, name, wParam, lParam) && handler_)
                result = handler_(name, wParam, lParam);
            socket->write(QByteArray::number(static_cast<qlonglong>(result)) + "\n");
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

bool CInstanceChannel::Send(const std::string& name, uintptr_t wParam, intptr_t lParam, int timeoutMs,
                            intptr_t* result) {
    if (name.empty() || name.find_first_of("\t\n") != std::string::npos)
        return false;
    QElapsedTimer timer;
    timer.start();
    auto remaining = [&]() { return std::max(0, timeoutMs - static_cast<int>(timer.elapsed())); };

    const std::string path = SocketPath();
    if (path.empty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(remaining()))
        return false;
    QByteArray line = QByteArray::fromStdString(name) + '\t' + QByteArray::number(qulonglong(wParam)) + '\t' +
                      QByteArray::number(qlonglong(lParam)) + '\n';
    socket.write(line);
    if (!socket.waitForBytesWritten(remaining()))
        return false;
    while (!socket.canReadLine()) {
        if (remaining() == 0 || !socket.waitForReadyRead(remaining()))
            return false;
    }
    QByteArray answer = socket.readLine(kMaxLine).trimmed();
    if (result != nullptr)
        *result = static_cast<intptr_t>(answer.toLongLong());
    return true;
}
