// The XML reader every configuration document goes through, and its limits against hostile files.
#include "config/CXMLParser.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace {
class XMLParserTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& content) {
        env.WriteFile("xml/" + name, content);
        return env.Path("xml/" + name);
    }
    // Loads a document from text; the parser keeps it for the checks that follow.
    bool LoadText(const std::string& content) { return parser.Load(Write("doc.xml", content)); }
    static std::string Nested(std::size_t depth, bool closed = true) {
        std::string s;
        for (std::size_t i = 0; i < depth; ++i)
            s += "<a>";
        for (std::size_t i = 0; closed && i < depth; ++i)
            s += "</a>";
        return s;
    }
    CTempEnvironment env;
    CXMLParser parser;
};
} // namespace

TEST_F(XMLParserTest, LoadRefusesMissingFilesFoldersFifosAndASecondDocument) {
    EXPECT_FALSE(parser.Load(env.Path("xml/none.xml")));
    EXPECT_FALSE(parser.Load(env.Root()));
    const std::string fifo = env.Path("fifo.xml"); // refused without blocking
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(parser.Load(fifo));
    EXPECT_FALSE(parser.IsLoaded());
    ASSERT_TRUE(parser.Load(Write("first.xml", "<First/>")));
    EXPECT_FALSE(parser.Load(Write("second.xml", "<Second/>")));
    // The first document stays.
    EXPECT_TRUE(parser.GetRoot("First"));
    EXPECT_FALSE(parser.GetRoot("Second"));
}

TEST_F(XMLParserTest, NamesAreExactIterationSkipsAllButElementsAndTextJoinsDescendants) {
    ASSERT_TRUE(LoadText(
        "<?xml version=\"1.0\"?>\n<!-- lead -->\n<Root a=\"1\"><!--c--><?pi x?>text"
        "<Child>x</Child><child>y <b>big <c>wide</c></b> &amp; <![CDATA[<x>]]> <!-- no -->\n </child>"
        "<Child>z</Child></Root>"));
    EXPECT_FALSE(parser.GetRoot("root"));
    XmlNode root = parser.GetRoot("Root");
    ASSERT_TRUE(root);
    EXPECT_EQ(parser.GetText(parser.GetChild(root, "child")), "y big wide & <x>");
    EXPECT_FALSE(parser.GetChild(root, "CHILD"));
    std::vector<std::string> names;
    for (XmlNode n = parser.GetFirstChild(root); n; n = parser.GetNextSibling(n))
        names.push_back(parser.GetNodeName(n));
    EXPECT_EQ(names, (std::vector<std::string>{"Child", "child", "Child"}));
    std::string value = "stale";
    EXPECT_FALSE(parser.GetAttribute(root, "A", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(parser.GetAttribute(root, "a", value));
    EXPECT_EQ(value, "1");
    XmlNode none = parser.GetChild(root, "Missing"); // absent nodes answer absent all the way down
    EXPECT_FALSE(parser.GetFirstChild(none));
    EXPECT_EQ(parser.GetText(none), "");
}

TEST_F(XMLParserTest, DecodesUtf16AndLatin1Documents) {
    std::u16string text = u"\uFEFF<r v=\"\u00E9\">Gr\u00FC\u00DFe</r>";
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    ASSERT_TRUE(parser.Load(Write("utf16.xml", bytes)));
    EXPECT_EQ(parser.GetText(parser.GetRoot("r")), "Gr\u00FC\u00DFe");
    CXMLParser latin;
    ASSERT_TRUE(latin.Load(Write("latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>Gr\xFC\xDF"
                                               "e</r>")));
    EXPECT_EQ(latin.GetText(latin.GetRoot("r")), "Gr\u00FC\u00DFe");
}

TEST_F(XMLParserTest, EveryDocumentOfTheMalformedCorpusIsRefused) {
    VIDORA_REQUIRE_TEST_MEDIA();
    QDir dir(QString::fromStdString(TestMediaDir() + "/xml-bad"));
    const QStringList files = dir.entryList({"*.xml"}, QDir::Files);
    ASSERT_GE(files.size(), 9) << "sample folder missing: " << dir.path().toStdString();
    for (const QString& name : files) {
        CXMLParser p;
        EXPECT_FALSE(p.Load(dir.filePath(name).toStdString())) << name.toStdString();
        EXPECT_FALSE(p.LastError().empty()) << name.toStdString();
    }
}

TEST_F(XMLParserTest, NestingIsLimited) {
    ASSERT_TRUE(LoadText(Nested(CXMLParser::kMaxDepth)));
    XmlNode node = parser.GetRoot("a");
    std::size_t depth = 0;
    for (; node; node = parser.GetFirstChild(node))
        ++depth;
    EXPECT_EQ(depth, CXMLParser::kMaxDepth);
    for (const std::string& deep :
         {Nested(CXMLParser::kMaxDepth + 1), Nested(100000), Nested(100000, false)}) {
        CXMLParser p;
        EXPECT_FALSE(p.Load(Write("deep.xml", deep))) << deep.size();
    }
}

TEST_F(XMLParserTest, FilesAboveTheSizeLimitAreRefused) {
    const std::string padding(CXMLParser::kMaxFileSize - 7, ' ');
    ASSERT_TRUE(LoadText("<a>" + padding + "</a>"));
    CXMLParser over;
    EXPECT_FALSE(over.Load(Write("over.xml", "<a>" + padding + " </a>")));
    EXPECT_FALSE(over.GetRoot("a"));
}

// Entities are never expanded: declaring one refuses the document. So does invalid UTF-8 anywhere.
TEST_F(XMLParserTest, EntityDeclarationsAndInvalidUtf8RefuseTheDocument) {
    const std::vector<std::string> bad = {
        "<!DOCTYPE Oem [<!ENTITY a \"expanded\">]><Oem>&a;</Oem>",
        "<!DOCTYPE Oem [<!ENTITY % p \"x\">]><Oem/>",
        "<r>abc\xFF</r>",               // stray byte in text
        "<r v=\"\xC3\"/>",              // truncated sequence in an attribute
        "<r>\xC0\xAF</r>",              // overlong "/"
        "<r><!-- \xED\xA0\x80 --></r>", // encoded surrogate in a comment
        "<r\xE9l/>",                    // Latin-1 byte in a name, no declaration
    };
    for (const std::string& doc : bad) {
        CXMLParser p;
        EXPECT_FALSE(p.Load(Write("bad.xml", doc))) << doc;
    }
    ASSERT_TRUE(LoadText("<r v=\"\xE2\x82\xAC\">\xF0\x9F\x93\xB7</r>"));
    EXPECT_EQ(parser.GetText(parser.GetRoot("r")), "\xF0\x9F\x93\xB7");
    // A plain DOCTYPE is harmless; an undeclared reference stays as written.
    CXMLParser plain;
    ASSERT_TRUE(plain.Load(Write("plain.xml", "<!DOCTYPE Oem><Oem>&zz; &lt;ok&gt;</Oem>")));
    EXPECT_EQ(plain.GetText(plain.GetRoot("Oem")), "&zz; <ok>");
}

TEST_F(XMLParserTest, EveryTruncationOfADocumentIsRefused) {
    const std::string doc = "<Oem><Texts><Text Id=\"a\" Localized=\"false\">t</Text></Texts></Oem>";
    for (std::size_t length = 0; length < doc.size(); ++length) {
        CXMLParser p;
        EXPECT_FALSE(p.Load(Write("cut.xml", doc.substr(0, length)))) << doc.substr(0, length);
    }
}
