#pragma once
// The per-user channel through which other processes of the same user reach the running instance: a second
// start's signal, and the registered messages other programs send to the main window. The running instance
// owns a local socket in the user's runtime folder; a sender connects, writes one message (its registered
// name and two parameters) and waits for the answer, giving up after its time-out.
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;

class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    // Called on the user-interface thread for every message; the result goes back to the sender.
    using Handler = std::function<intptr_t(const std::string& name, uintptr_t wParam, intptr_t lParam)>;

    explicit CInstanceChannel(Handler handler, QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // Starts listening, replacing a socket left behind by a process that died. Only the first instance calls
    // it.
    bool Listen();
    void Close();
    bool IsListening() const;

    // Sends one message to the running instance and waits at most `timeoutMs` for its answer. False when no
    // instance listens, the message is malformed, or the answer does not come in time.
    static bool Send(const std::string& name, uintptr_t wParam, intptr_t lParam, int timeoutMs,
                     intptr_t* result = nullptr);

    // The socket's path.
    static std::string SocketPath();

private:
    void OnNewConnection();

    Handler handler_;
    std::unique_ptr<QLocalServer> server_;
};
