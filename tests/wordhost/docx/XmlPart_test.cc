// XML parts read in the encodings the parser knows and written back as UTF-8 that says so;
// bytes invalid in UTF-8 and elements nested too deeply refused with where and why.
#include "wordhost/docx/XmlPart.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/LayoutCopy.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

using namespace testing;

// Returns latin1 (one byte per character) as UTF-16, little- or big-endian, with a byte order
// mark.
std::string Utf16(const std::string& latin1, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : latin1) out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return out;
}

// Returns latin1 as UTF-32 little-endian with a byte order mark.
std::string Utf32(const std::string& latin1) {
  std::string out("\xFF\xFE\0\0", 4);
  for (char c : latin1) out += std::string{c, '\0', '\0', '\0'};
  return out;
}

// A document in any encoding the parser reads shows its text, as does its layout copy, and once
// edited and saved holds UTF-8 under a declaration that says UTF-8, which reads back the same.
TEST(XmlPart, ReadsAnyEncodingAndWritesUtf8ThatSaysSo) {
  struct Case {
    const char* name;
    std::string documentXml;  // a main part showing "café"
  };
  const Case cases[] = {
      {"utf8", DocumentXml(P(R("caf\xC3\xA9")))},
      {"utf8_with_bom", "\xEF\xBB\xBF" + DocumentXml(P(R("caf\xC3\xA9")))},
      {"iso_8859_1", DocumentXml(P(R("caf\xE9")), "ISO-8859-1")},
      {"latin1", DocumentXml(P(R("caf\xE9")), "latin1")},
      {"utf16_le", Utf16(DocumentXml(P(R("caf\xE9")), "UTF-16"), false)},
      {"utf16_be", Utf16(DocumentXml(P(R("caf\xE9")), "UTF-16"), true)},
      {"utf32_le", Utf32(DocumentXml(P(R("caf\xE9")), "UTF-32"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Document::FromBytes(MakeDocxAround(c.documentXml));
    EXPECT_EQ(ShowText(*doc, false), "caf\xC3\xA9\n");
    // The layout copy, read from the stored part while nothing changed, is UTF-8 too.
    auto copy = Document::FromBytes(FlattenedCopy(*doc, {}, CopyExtent::kWhole));
    EXPECT_EQ(ShowText(*copy, false), "caf\xC3\xA9\n");
    doc->Range(0, 0)->SetText("Le ");
    std::string saved = Package::FromBytes(doc->ToBytes()).Read("word/document.xml");
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", 0), 0u)
        << saved.substr(0, 60);
    EXPECT_NE(saved.find("caf\xC3\xA9"), std::string::npos);
    EXPECT_EQ(ShowText(*Document::FromBytes(doc->ToBytes()), false), "Le caf\xC3\xA9\n");
  }
}

// Returns the message ParsePart gives for content, or "" when it reads it.
std::string ParseError(const std::string& content) {
  pugi::xml_document xml;
  try {
    ParsePart(xml, "part.xml", content, pugi::parse_default);
  } catch (const DocxError& e) {
    EXPECT_FALSE(xml.first_child()) << "a refused part leaves its tree empty";
    return e.what();
  }
  return {};
}

TEST(XmlPart, BadXmlIsRefusedWithWhereAndWhy) {
  const std::string tooDeep =
      "part.xml is too deeply nested: its elements go more than 256 levels deep";
  const std::pair<std::string, std::string> cases[] = {
      // content, message ("": read)
      {"<a>ok</a>", ""},
      {Nested(kMaxXmlDepth, "<a>", "text", "</a>"), ""},
      {Nested(kMaxXmlDepth - 1, "<a>", "<b/><c>x</c>", "</a>") + "<!-- end -->", ""},
      {Nested(kMaxXmlDepth + 1, "<a>", "", "</a>"), tooDeep},
      // The deepest element may come after shallower ones.
      {"<r><s/>" + Nested(kMaxXmlDepth, "<a>", "", "</a>") + "</r>", tooDeep},
      {"<a><b></a>", "part.xml is not well-formed XML (Start-end tags mismatch at byte 8)"},
      {"<a>caf\xC3</a>", "part.xml is not valid UTF-8 (byte 6)"},
      {"<a x=\"\xED\xA0\x80\"/>", "part.xml is not valid UTF-8 (byte 6)"},
      {"<!-- \xFF --><a/>", "part.xml is not valid UTF-8 (byte 5)"},
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?><a>\xE9</a>",
       "part.xml is not valid UTF-8 (byte 41)"},
  };
  for (const auto& [content, message] : cases) {
    EXPECT_EQ(ParseError(content), message) << content.substr(0, 60);
  }
}

TEST(XmlPart, SerializeWritesTheDeclarationTheTreeHolds) {
  pugi::xml_document xml;
  ParsePart(xml, "part.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>",
            pugi::parse_full);
  EXPECT_EQ(SerializePart(xml), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>");
  ParsePart(xml, "part.xml", "<a>\xC3\xA9</a>", pugi::parse_full);
  EXPECT_EQ(SerializePart(xml), "<a>\xC3\xA9</a>");
}

}  // namespace
}  // namespace quillon::docx
