#include "capture/CEMail.h"

#include "app/CMailTempFolders.h"
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "capture/CMailDescriptionFile.h"
#include "platform/CFd.h"
#include "platform/ExecutablePath.h"
#include "platform/IProcessLauncher.h"
#include "platform/TextUtil.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string FileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Copies `source` to `name` in the folder, replacing an earlier copy of that name. The copy is made in our
// own private folder and never through a link someone left there.
bool CopyInto(int folderFd, const std::string& source, const std::string& name) {
    CFd in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (in.Get() < 0 || fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    struct stat old {};
    if (fstatat(folderFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
        (S_ISDIR(old.st_mode) || unlinkat(folderFd, name.c_str(), 0) != 0))
        return false;
    CFd out(openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (out.Get() < 0)
        return false;
    bool ok = true;
    char buffer[64 * 1024];
    for (;;) {
        ssize_t n = read(in.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        if (!CFd::WriteAll(out.Get(), buffer, static_cast<std::size_t>(n))) {
            ok = false;
            break;
        }
    }
    if (close(out.Release()) != 0)
        ok = false;
    if (!ok)
        unlinkat(folderFd, name.c_str(), 0); // a cut-off picture is not worth sending
    return ok;
}

HRESULT AskApplication(std::string& name) {
    CVidoraApp* app = CVidoraApp::Instance();
    if (app == nullptr)
        return E_FAIL;
    std::string command;
    return app->GetDefaultMailProgram(name, command);
}
} // namespace

CEMail::CEMail() : CEMail(AskApplication) {}

CEMail::CEMail(DefaultMailProgram defaultMailProgram) : defaultMailProgram_(std::move(defaultMailProgram)) {}

std::string CEMail::MailProgramName() const {
    std::string name = CVidoraSettings::GetEmailClient();
    if (!name.empty())
        return name;
    if (!defaultMailProgram_ || FAILED(defaultMailProgram_(name)))
        name.clear();
    return name;
}

CEMail::Result CEMail::Send(const std::vector<std::string>& paths, const std::string& subject,
                            const std::string& body) {
    subject_ = subject;
    body_ = body;
    descriptionPath_.clear();
    attachments_.clear();

    tempFolder_ = CMailTempFolders::CreateNext();
    if (tempFolder_.empty())
        return Result::NoFolder;
    CFd folder(open(tempFolder_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.Get() < 0)
        return Result::NoFolder;

    CopyAttachments(folder.Get(), paths);
    if (attachments_.empty())
        return Result::NothingCopied;
    if (!WriteDescription(folder.Get()))
        return Result::DescriptionFailed;

    const std::string program = GetExecutableDir() + "/" + kMailProgramFileName;
    struct stat info {};
    if (stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return Result::NoMailProgram;
    // The description's path is absolute, so the program finds it whatever folder it starts in.
    if (!GetProcessLauncher().StartDetached({program, descriptionPath_}))
        return Result::LaunchFailed;
    return Result::Started;
}

void CEMail::CopyAttachments(int folderFd, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const std::string name = FileName(path);
        const std::string destination = tempFolder_ + "/" + name;
        // A name the description cannot carry, or one that would replace the folder's record, counts as a
        // failed copy.
        if (name.empty() || name == "." || name == ".." || name == CMailTempFolders::kRecordFileName ||
            Text::EqualsNoCase(name, CMailDescriptionFile::kFileName) ||
            !CMailDescriptionFile::IsWritable(destination))
            return;
        if (!CopyInto(folderFd, path, name))
            return;
        attachments_.push_back(destination);
    }
}

bool CEMail::WriteDescription(int folderFd) {
    const std::string text = CMailDescriptionFile::Compose(MailProgramName(), subject_, body_, attachments_);
    CFd file(openat(folderFd, CMailDescriptionFile::kFileName,
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.Get() < 0)
        return false;
    bool ok = CFd::WriteAll(file.Get(), text.data(), text.size());
    if (close(file.Release()) != 0)
        ok = false;
    if (!ok) {
        unlinkat(folderFd, CMailDescriptionFile::kFileName, 0);
        return false;
    }
    descriptionPath_ = tempFolder_ + "/" + CMailDescriptionFile::kFileName;
    return true;
}
