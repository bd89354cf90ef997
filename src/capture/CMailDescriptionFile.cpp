#include "capture/CMailDescriptionFile.h"

#include "platform/TextUtil.h"

std::string CMailDescriptionFile::Line(const std::string& key, const std::string& value) {
    return "[" + key + "]=" + value + ";\r\n";
}

bool CMailDescriptionFile::IsWritable(const std::string& value) {
    return value.find_first_of("\r\n") == std::string::npos && value.find("]=") == std::string::npos;
}

std::string CMailDescriptionFile::MakeWritable(const std::string& value) {
    std::string text = value;
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    // Replaced until none is left: "]]==" would otherwise leave one behind.
    while (text.find("]=") != std::string::npos)
        text = Text::ReplaceAll(text, "]=", "] =");
    return text;
}

std::string CMailDescriptionFile::CleanText(const std::string& text) {
    std::string cleaned = Text::ReplaceAll(text, "\u00AE", "(R)");
    cleaned = Text::ReplaceAll(cleaned, "\u2122", "(TM)");
    return MakeWritable(cleaned);
}

std::string CMailDescriptionFile::Compose(const std::string& clientName, const std::string& subject,
                                          const std::string& body,
                                          const std::vector<std::string>& attachments) {
    std::string file = Line("ClientName", MakeWritable(clientName));
    file += Line("Subject", CleanText(subject));
    file += Line("Body", CleanText(body));
    for (std::size_t i = 0; i < attachments.size(); ++i)
        file += Line(Text::Format("%d", static_cast<int>(i)), MakeWritable(attachments[i]));
    return file;
}
