#pragma once
// The text of the mail description file "brenmail.ini" that the mail-sending program reads: one entry a line,
// "[" key "]=" value ";" and CR LF, in UTF-8, in the order ClientName, Subject, Body, then the attachments
// numbered from 0.
#include <string>
#include <vector>

class CMailDescriptionFile {
public:
    static constexpr const char* kFileName = "brenmail.ini";

    // The whole file.
    static std::string Compose(const std::string& clientName, const std::string& subject,
                               const std::string& body, const std::vector<std::string>& attachments);
    // A subject or body as written: "®" becomes "(R)" and "™" "(TM)", for mail programs that would mangle
    // them, and everything a value cannot hold is made harmless (see MakeWritable).
    static std::string CleanText(const std::string& text);
    // A value holds no line break (each becomes a space: one entry is one line) and no "]=" (it would read
    // as a second key; it becomes "] =").
    static std::string MakeWritable(const std::string& value);
    // True when a value can be written unchanged; an attachment path that cannot is not sent.
    static bool IsWritable(const std::string& value);
    // One entry with its line end.
    static std::string Line(const std::string& key, const std::string& value);
};
