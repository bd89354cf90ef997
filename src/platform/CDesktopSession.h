#pragma once
// What the desktop session tells the program: the machine is about to suspend (logind's PrepareForSleep
// on the system bus) and the session was locked (the Lock signal of this session's logind object, or the
// screen saver becoming active on the session bus). The ribbon closes its windows on both.
//
// The notifications arrive on the thread that called Start() (the user-interface thread), through its
// event loop. Without a system bus or without logind nothing is ever reported.
#include <QObject>
#include <QString>

class CDesktopSession : public QObject {
    Q_OBJECT

public:
    explicit CDesktopSession(QObject* parent = nullptr);
    ~CDesktopSession() override;

    // Subscribes to the notifications. False when the system bus cannot be reached or logind is not on it;
    // then nothing is subscribed and nothing will be reported. The session bus's screen saver is watched
    // when that bus is there. Each bus call made here gives up after kCallTimeoutMs.
    bool Start();
    // Drops every subscription and the bus connections (also done by the destructor).
    void Stop();
    bool IsStarted() const { return started_; }
    // The object path of this session at logind, once Start() found it (empty otherwise: then only the
    // screen saver tells of locking).
    const QString& SessionPath() const { return sessionPath_; }

    // Whether the session's screen saver is running (org.freedesktop.ScreenSaver GetActive on the session
    // bus); false when there is no session bus or no screen saver service, or when it does not answer
    // within kScreenSaverTimeoutMs.
    static bool IsScreenSaverActive();

    static constexpr int kCallTimeoutMs = 1000;
    static constexpr int kScreenSaverTimeoutMs = 200;

signals:
    void suspending();
    void sessionLocked();

public slots:
    // The bus signals land here; a test may call them directly to see what the program makes of them.
    // PrepareForSleep(true) announces a suspend, PrepareForSleep(false) the resume, which is not reported.
    void OnPrepareForSleep(bool start);
    void OnSessionLock();
    // Only the screen saver turning on counts as a lock.
    void OnScreenSaverActiveChanged(bool active);

private:
    QString FindSessionPath();

    QString systemName_;
    QString sessionName_;
    QString sessionPath_;
    bool started_ = false;
    bool sessionConnected_ = false;
};
