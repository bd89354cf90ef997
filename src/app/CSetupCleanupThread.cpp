#include "app/CSetupCleanupThread.h"

#include "app/CVidoraSettings.h"
#include "platform/CNamedMutex.h"
#include "platform/DebugOutput.h"
#include "platform/DirectoryTree.h"
#include "platform/HResult.h"
#include "platform/SpecialFolders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {
std::optional<std::string> RealPath(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    char buffer[PATH_MAX];
    if (realpath(path.c_str(), buffer) == nullptr)
        return std::nullopt;
    return std::string(buffer);
}

// True when `inner` lies strictly inside `outer` (both resolved, without trailing "/").
bool IsStrictlyInside(const std::string& inner, const std::string& outer) {
    if (outer == "/")
        return inner.size() > 1 && inner.front() == '/';
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           inner[outer.size()] == '/';
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}
} // namespace

CSetupCleanupThread::~CSetupCleanupThread() {
    Stop();
}

bool CSetupCleanupThread::Start() {
    if (state_.load() != State::NotStarted || thread_.joinable())
        return false;
    state_.store(State::Running);
    try {
        thread_ = std::thread([this] {
            outcome_.store(Run());
            state_.store(State::Finished);
        });
    } catch (const std::system_error&) {
        state_.store(State::Finished);
        return false;
    }
    return true;
}

void CSetupCleanupThread::Stop() {
    stop_.Set();
    Join();
}

void CSetupCleanupThread::Join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

std::optional<std::string> CSetupCleanupThread::CheckUnpackFolder(const std::string& path) {
    std::string given = path;
    // "folder/" would make the link test below look through a link.
    while (given.size() > 1 && given.back() == '/')
        given.pop_back();
    struct stat st {};
    if (given.empty() || lstat(given.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return std::nullopt;
    std::optional<std::string> folder = RealPath(given);
    if (!folder || *folder == "/")
        return std::nullopt;

    std::vector<std::string> allowedRoots;
    for (std::optional<std::string> root :
         {std::optional<std::string>(SpecialFolders::TempDir()), SpecialFolders::GetPath(CSIDL_APPDATA),
          SpecialFolders::GetPath(CSIDL_INTERNET_CACHE)}) {
        if (root)
            if (auto resolved = RealPath(*root))
                allowedRoots.push_back(*resolved);
    }
    std::vector<std::string> protectedFolders = allowedRoots;
    if (const char* home = std::getenv("HOME"))
        if (auto resolved = RealPath(home))
            protectedFolders.push_back(*resolved);

    // Neither one of the protected folders nor a folder holding one of them.
    for (const std::string& p : protectedFolders)
        if (*folder == p || IsStrictlyInside(p, *folder))
            return std::nullopt;
    for (const std::string& root : allowedRoots)
        if (IsStrictlyInside(*folder, root))
            return folder;
    return std::nullopt;
}

CSetupCleanupThread::Outcome CSetupCleanupThread::Run() {
    const std::string path = CVidoraSettings::GetWebUnzipPath();
    if (path.empty() || !IsDirectory(path))
        return Outcome::NothingToDo;
    if (!CheckUnpackFolder(path)) {
        OutputDebugString("CSetupCleanupThread: WebUnzipPath does not name an unpack folder; left alone");
        return Outcome::Refused;
    }

    {
        CNamedMutex setup;
        if (!setup.Create(kSetupMutexName, false)) {
            // Without a handle there is no telling whether the installer still works in the folder.
            OutputDebugString("CSetupCleanupThread: setup mutex not available; clean-up left for later");
            return Outcome::InstallerBusy;
        }
        if (setup.LastError() == ERROR_ALREADY_EXISTS) {
            state_.store(State::WaitingForInstaller);
            WaitResult r = setup.WaitFor(kInfinite, &stop_);
            state_.store(State::Running);
            if (r == WaitResult::Stopped)
                return Outcome::Stopped;
            if (r != WaitResult::Signaled)
                return Outcome::InstallerBusy;
        }
        setup.Release();
    }

    // The folder is looked at again: the installer may have removed or replaced it meanwhile.
    if (!Exists(path)) {
        CVidoraSettings::WriteRootString("WebUnzipPath", "");
        return Outcome::Deleted;
    }
    std::optional<std::string> folder = CheckUnpackFolder(path);
    if (!folder)
        return Outcome::Refused;
    if (!RemoveDirectoryTree(*folder)) {
        OutputDebugString("CSetupCleanupThread: the unpack folder could not be deleted completely");
        return Outcome::DeleteFailed;
    }
    CVidoraSettings::WriteRootString("WebUnzipPath", "");
    return Outcome::Deleted;
}
