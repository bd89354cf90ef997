#pragma once
// Sends captures by e-mail without speaking to any mail system: the captures are copied into a fresh private
// folder, a description of the message (mail program, subject, body, attachments) is written beside them,
// and the mail-sending program installed beside ours is started with the description's path. Every failure
// ends a send quietly; the result says how far it got.
#include "platform/HResult.h"

#include <functional>
#include <string>
#include <vector>

class CEMail {
public:
    enum class Result {
        Started,           // the mail-sending program was started
        NoFolder,          // no temporary folder could be made
        NothingCopied,     // not one attachment could be copied
        DescriptionFailed, // the description file could not be written
        NoMailProgram,     // the mail-sending program is not installed
        LaunchFailed,      // it could not be started
    };

    static constexpr const char* kMailProgramFileName = "brenmailapp.exe";

    // Asks for the default mail program's name; the program asks the application object.
    using DefaultMailProgram = std::function<HRESULT(std::string& name)>;

    CEMail();
    explicit CEMail(DefaultMailProgram defaultMailProgram);

    Result Send(const std::vector<std::string>& paths, const std::string& subject, const std::string& body);

    // The last send's folder, texts, description file and copies.
    const std::string& TempFolder() const { return tempFolder_; }
    const std::string& Subject() const { return subject_; }
    const std::string& Body() const { return body_; }
    const std::string& DescriptionPath() const { return descriptionPath_; }
    const std::vector<std::string>& Attachments() const { return attachments_; }

    // The mail program named in the description: the "EmailClient" setting, else the default mail
    // program's name, else "".
    std::string MailProgramName() const;

private:
    // Copies the files until the first one that fails.
    void CopyAttachments(int folderFd, const std::vector<std::string>& paths);
    bool WriteDescription(int folderFd);

    DefaultMailProgram defaultMailProgram_;
    std::string tempFolder_;
    std::string subject_;
    std::string body_;
    std::string descriptionPath_;
    std::vector<std::string> attachments_;
};
