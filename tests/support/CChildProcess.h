#pragma once
// A forked child process for tests of what several processes see. The child runs `body` and ends with its
// return value as exit code; it must not use Qt or anything else that other threads of the test process
// might hold locked. Parent and child talk through two pipes, one byte per message. A child still running
// when the object goes is killed.
#include <cerrno>
#include <functional>

#include <csignal>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

class CChildProcess {
public:
    // The child's side of the pipes.
    class Channel {
    public:
        Channel(int in, int out) : in_(in), out_(out) {}
        void Tell(char message) const { (void)!write(out_, &message, 1); }
        // Blocks until the parent says something; 0 when the parent is gone.
        char Await() const {
            char c = 0;
            return read(in_, &c, 1) == 1 ? c : 0;
        }

    private:
        int in_;
        int out_;
    };

    explicit CChildProcess(const std::function<int(const Channel&)>& body) {
        int up[2] = {-1, -1};
        int down[2] = {-1, -1};
        if (pipe(up) != 0 || pipe(down) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(up[0]);
            close(down[1]);
            int code = body(Channel(down[0], up[1]));
            _exit(code);
        }
        close(up[1]);
        close(down[0]);
        fromChild_ = up[0];
        toChild_ = down[1];
    }
    ~CChildProcess() {
        Kill();
        if (fromChild_ >= 0)
            close(fromChild_);
        if (toChild_ >= 0)
            close(toChild_);
    }
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    void Tell(char message) const { (void)!write(toChild_, &message, 1); }
    // The child's next message, or 0 when none comes within `timeoutMs` (a broken child fails the test
    // instead of hanging it).
    char Expect(int timeoutMs = 10000) const {
        pollfd p{fromChild_, POLLIN, 0};
        char c = 0;
        if (poll(&p, 1, timeoutMs) == 1 && read(fromChild_, &c, 1) == 1)
            return c;
        return 0;
    }
    // Waits for the child's end; its exit code, or -1 when it was killed.
    int Wait() {
        if (pid_ <= 0)
            return -1;
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Kill() {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGKILL);
        Wait();
    }

private:
    pid_t pid_ = -1;
    int fromChild_ = -1;
    int toChild_ = -1;
};
