#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a call on the user-interface thread, so a process ended from outside
// (a log-out, kill, Ctrl+C) shuts down through its normal steps instead of dying mid-way.
#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

class CSignalWatcher : public QObject {
    Q_OBJECT
public:
    // Only one watcher exists at a time; a second one takes over the signals.
    explicit CSignalWatcher(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~CSignalWatcher() override;

private:
    void OnReadable();

    std::function<void(int)> onSignal_;
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};
