#include "config/CXMLParser.h"

#include "platform/CFd.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Comments, instructions and the DOCTYPE are kept in the tree only so that they can be checked.
constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                 pugi::parse_declaration | pugi::parse_doctype;

bool IsTextNode(const pugi::xml_node& node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}
} // namespace

bool CXMLParser::Fail(const std::string& why) {
    lastError_ = why;
    document_.reset();
    return false;
}

bool CXMLParser::ReadFile(const std::string& path, std::string& data) {
    // O_NONBLOCK keeps a FIFO planted under the expected name from blocking the open; only regular files
    // are read.
    CFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0)
        return Fail(errno == ENOENT ? "file does not exist" : "file cannot be opened");
    struct stat info {};
    if (fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return Fail("not a regular file");
    if (info.st_size < 0 || static_cast<std::size_t>(info.st_size) > kMaxFileSize)
        return Fail("file too large");
    // Read at most one byte past the limit: a file that grows after fstat is refused as well.
    data.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t total = 0;
    while (total < data.size()) {
        ssize_t n = read(file.Get(), data.data() + total, data.size() - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Fail("read error");
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
        if (total > kMaxFileSize)
            return Fail("file too large");
        if (total == data.size())
            data.resize(std::min(data.size() * 2, kMaxFileSize + 1));
    }
    data.resize(total);
    return true;
}

bool CXMLParser::Load(const std::string& path) {
    if (loaded_) {
        lastError_ = "a document is already loaded";
        return false;
    }
    std::string data;
    if (!ReadFile(path, data))
        return false;
    if (data.empty())
        return Fail("empty file");
    pugi::xml_parse_result result =
        document_.load_buffer(data.data(), data.size(), kParseFlags, pugi::encoding_auto);
    if (!result)
        return Fail(std::string("not well-formed: ") + result.description());
    if (!document_.document_element())
        return Fail("no document element");
    if (!CheckTree())
        return false;
    loaded_ = true;
    lastError_.clear();
    return true;
}

bool CXMLParser::CheckTree() {
    std::size_t depth = 1;
    pugi::xml_node node = document_.first_child();
    while (node) {
        if (node.type() == pugi::node_doctype && std::strstr(node.value(), "<!ENTITY") != nullptr)
            return Fail("document declares entities");
        if (node.type() == pugi::node_element && depth > kMaxDepth)
            return Fail("document nested too deeply");
        if (!Text::IsValidUtf8(node.name()) || !Text::IsValidUtf8(node.value()))
            return Fail("text is not valid UTF-8");
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            if (!Text::IsValidUtf8(a.name()) || !Text::IsValidUtf8(a.value()))
                return Fail("attribute is not valid UTF-8");
        }
        if (pugi::xml_node child = node.first_child()) {
            node = child;
            ++depth;
            continue;
        }
        while (node != document_ && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node == document_)
            break;
        node = node.next_sibling();
    }
    return true;
}

XmlNode CXMLParser::GetRoot(const std::string& name) const {
    XmlNode root = document_.document_element();
    return root && name == root.name() ? root : XmlNode();
}

XmlNode CXMLParser::GetChild(XmlNode node, const std::string& name) const {
    for (XmlNode child = GetFirstChild(node); child; child = GetNextSibling(child)) {
        if (name == child.name())
            return child;
    }
    return {};
}

XmlNode CXMLParser::GetFirstChild(XmlNode node) const {
    XmlNode child = node.first_child();
    while (child && child.type() != pugi::node_element)
        child = child.next_sibling();
    return child;
}

XmlNode CXMLParser::GetNextSibling(XmlNode node) const {
    XmlNode next = node.next_sibling();
    while (next && next.type() != pugi::node_element)
        next = next.next_sibling();
    return next;
}

std::string CXMLParser::GetNodeName(XmlNode node) const {
    return node.name();
}

bool CXMLParser::GetAttribute(XmlNode element, const std::string& name, std::string& value) const {
    pugi::xml_attribute attribute = element.attribute(name.c_str());
    value = attribute ? attribute.value() : "";
    return static_cast<bool>(attribute);
}

std::string CXMLParser::GetText(XmlNode node) const {
    if (!node)
        return {};
    if (IsTextNode(node))
        return Text::Trim(node.value());
    std::string text;
    // Depth-first over the descendants, climbing back through parent links instead of a call stack.
    XmlNode current = node.first_child();
    while (current) {
        if (IsTextNode(current))
            text += current.value();
        if (XmlNode child = current.first_child()) {
            current = child;
            continue;
        }
        while (current != node && !current.next_sibling())
            current = current.parent();
        if (current == node)
            break;
        current = current.next_sibling();
    }
    return Text::Trim(text);
}
