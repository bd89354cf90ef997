#pragma once
// What the desktop session tells the program: the machine is about to suspend (logind's PrepareForSleep on
// the system bus), this session stopped being the active one (its logind object's Active property turned
// false: the console was switched away or the remote connection dropped), and whether the screen saver
// runs (org.freedesktop.ScreenSaver on the session bus). A locked screen is not reported: a recording or a
// motion watch goes on behind the lock.
//
// Nothing here waits for a bus. The connections are opened on a helper thread and every question to a
// service is asked asynchronously, so a slow or hung bus daemon never holds up the user-interface thread.
// The notifications arrive on the thread that called Start() (the user-interface thread) through its event
// loop. Without a system bus or without logind, suspend and session changes are never reported.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class QDBusPendingCallWatcher;

class CDesktopSession : public QObject {
    Q_OBJECT

public:
    explicit CDesktopSession(QObject* parent = nullptr);
    ~CDesktopSession() override;

    // Starts subscribing and returns at once; `started` tells how it went.
    void Start();
    // Drops every subscription and the bus connections (also done by the destructor).
    void Stop();
    // The logind subscriptions are in place.
    bool IsStarted() const { return started_; }
    // The object path of this session at logind, once found (empty otherwise).
    const QString& SessionPath() const { return sessionPath_; }
    // Whether this session is the active one, as logind last told (true until it says otherwise).
    bool IsSessionActive() const { return sessionActive_; }
    // The screen saver's state as last reported by the session bus; false without one.
    bool IsScreenSaverActive() const { return screenSaverActive_; }

    static constexpr int kCallTimeoutMs = 5000;

signals:
    // Start() is done: true when suspend and session changes are watched.
    void started(bool watching);
    void suspending();
    void sessionDeactivated();

public slots:
    // The bus signals land here; a test may call them directly to see what the program makes of them.
    // PrepareForSleep(true) announces a suspend, PrepareForSleep(false) the resume, which is not reported.
    void OnPrepareForSleep(bool start);
    // org.freedesktop.DBus.Properties.PropertiesChanged of this session's logind object.
    void OnSessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                    const QStringList& invalidated);
    void OnScreenSaverActiveChanged(bool active);

private:
    struct Connections;
    void OnConnected(const std::shared_ptr<Connections>& connections);
    void AskSessionPath(const QString& method, const QVariant& argument, bool lastTry);
    void OnSessionPathFound(const QString& path);
    void AskSessionActive(bool report);
    void SetSessionActive(bool active);
    void Fail();

    std::shared_ptr<Connections> pending_;
    QString systemName_;
    QString sessionName_;
    QString sessionPath_;
    bool started_ = false;
    bool sessionActive_ = true;
    bool screenSaverActive_ = false;
};
