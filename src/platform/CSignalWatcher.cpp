#include "platform/CSignalWatcher.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
std::atomic<int> g_writeFd{-1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void OnSignal(int signal) {
    // Only async-signal-safe work here: one byte into the pipe.
    int fd = g_writeFd.load();
    if (fd >= 0) {
        unsigned char b = static_cast<unsigned char>(signal);
        [[maybe_unused]] ssize_t n = ::write(fd, &b, 1);
    }
}
} // namespace

CSignalWatcher::CSignalWatcher(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) {
        fds_[0] = fds_[1] = -1;
        return;
    }
    g_writeFd.store(fds_[1]);
    notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &CSignalWatcher::OnReadable);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        sigaction(s, &action, nullptr);
}

CSignalWatcher::~CSignalWatcher() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals)
        sigaction(s, &action, nullptr);
    int expected = fds_[1];
    g_writeFd.compare_exchange_strong(expected, -1);
    notifier_.reset();
    for (int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

void CSignalWatcher::OnReadable() {
    unsigned char b = 0;
    while (::read(fds_[0], &b, 1) == 1) {
        if (onSignal_)
            onSignal_(b);
    }
}
