#pragma once
// The XML layer every document reader uses: one document per object, loaded from a file, walked through
// element handles. Documents come from wherever a reseller or a user put them, so loading is defensive:
//   - files above kMaxFileSize are refused before anything is read into memory;
//   - entity references are never expanded, and a document that declares entities in its DOCTYPE is
//     refused as a whole (its texts could not mean what their author intended, and such documents are the
//     classic expansion bombs);
//   - the text of every node must be well-formed UTF-8 after decoding (UTF-16 and Latin-1 documents are
//     decoded first); a document with a broken byte anywhere, comments included, is refused rather than
//     half-read;
//   - documents nested deeper than kMaxDepth elements are refused, and nothing here recurses over the tree.
// A refused document leaves the parser empty: every lookup then answers "absent".
#include <pugixml.hpp>

#include <cstddef>
#include <string>

// A handle to an element of a loaded document; a default-constructed handle is "absent" and every
// operation on it answers absent/empty. Valid while its parser lives.
using XmlNode = pugi::xml_node;

class CXMLParser {
public:
    CXMLParser() = default;
    CXMLParser(const CXMLParser&) = delete;
    CXMLParser& operator=(const CXMLParser&) = delete;

    // Loads and parses the file synchronously. False when a document is already loaded, the file does not
    // exist or is not a regular file, is too large, is not well-formed, or is refused for the reasons above.
    bool Load(const std::string& path);
    bool IsLoaded() const { return loaded_; }
    // Why the last Load failed (fixed English text for diagnostics); empty after a successful load.
    const std::string& LastError() const { return lastError_; }

    // The document element when its name equals `name` exactly.
    XmlNode GetRoot(const std::string& name) const;
    // The first child element whose name equals `name` exactly.
    XmlNode GetChild(XmlNode node, const std::string& name) const;
    // Iteration over the child elements of a node (text, comments and instructions are skipped).
    XmlNode GetFirstChild(XmlNode node) const;
    XmlNode GetNextSibling(XmlNode node) const;
    std::string GetNodeName(XmlNode node) const;
    // The attribute's text; false (and `value` emptied) when the element has no attribute of that exact name.
    bool GetAttribute(XmlNode element, const std::string& name, std::string& value) const;
    // The text content of a node: the text of all its descendants in document order, with blanks at both
    // ends removed (the indentation around an element's text is not part of the value).
    std::string GetText(XmlNode node) const;

    static constexpr std::size_t kMaxFileSize = 8u * 1024u * 1024u;
    static constexpr std::size_t kMaxDepth = 256;

private:
    bool Fail(const std::string& why);
    bool ReadFile(const std::string& path, std::string& data);
    // Depth, entity and encoding checks over the parsed tree, without recursion.
    bool CheckTree();

    pugi::xml_document document_;
    bool loaded_ = false;
    std::string lastError_;
};
