#pragma once
// The mail description the program writes for the mail-sending program: a UTF-8 text file of lines
// "[" key "]=" value ";" each ended by CR LF, with the keys ClientName, Subject and Body in that order, then
// the attachments numbered from 0. The attachments are copies the program made in the description's own
// folder; anything else is refused, so a description someone else wrote cannot send arbitrary files of the
// user.
#include <string>
#include <vector>

namespace Granite {

class CMailDescription {
public:
    // Larger files are not descriptions the program wrote.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;

    // Reads and checks the file. False, with Error() saying why, when it is unreadable or malformed, or an
    // attachment lies outside its folder or is missing.
    bool Load(const std::string& path);
    // Checks the text alone: the form of every line and the keys. `folder` is the folder the attachments must
    // be in (the description's own, resolved); attachments are looked at on disk only when `checkFiles`.
    bool Parse(const std::string& text, const std::string& folder, bool checkFiles);

    const std::string& ClientName() const { return clientName_; }
    const std::string& Subject() const { return subject_; }
    const std::string& Body() const { return body_; }
    const std::vector<std::string>& Attachments() const { return attachments_; }
    const std::string& Error() const { return error_; }

    // The arguments that hand the message to the desktop's mail program.
    std::vector<std::string> MailCommand() const;

    static bool IsValidUtf8(const std::string& text);

private:
    bool Fail(std::string message);
    bool ParseLine(const std::string& line, int number, std::string& key, std::string& value);
    bool CheckAttachment(const std::string& path, const std::string& folder, bool checkFiles);

    std::string clientName_;
    std::string subject_;
    std::string body_;
    std::vector<std::string> attachments_;
    std::string error_;
};

} // namespace Granite
