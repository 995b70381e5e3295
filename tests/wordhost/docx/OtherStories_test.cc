// The fields of the other stories, read from their parts as the main text is: in any encoding
// the XML parser knows, and refused when nested too deeply.
#include "wordhost/docx/OtherStories.h"

#include <gtest/gtest.h>

#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

using namespace testing;

// Returns a document whose only header part holds body, declared in encoding.
std::unique_ptr<Document> WithHeader(const std::string& body, const std::string& encoding) {
  auto parts = DocxParts(DocumentXml(P(R("main"))));
  parts.emplace_back(
      "word/header1.xml",
      "<?xml version=\"1.0\" encoding=\"" + encoding +
          "\"?><w:hdr xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">" +
          body + "</w:hdr>");
  return Document::FromBytes(Package::Create(parts));
}

// A header in another encoding gives its field's code and result as UTF-8; a header the main
// text would refuse is refused with its reason.
TEST(OtherStories, HeaderFieldsReadAsUtf8OrTheHeaderIsRefused) {
  std::vector<OtherStoryField> fields =
      OtherStoryFields(*WithHeader(P(Fld(" ADDIN \xE9 ", R("caf\xE9"))), "ISO-8859-1"));
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(std::tie(fields[0].story, fields[0].code, fields[0].result),
            std::make_tuple("header", " ADDIN \xC3\xA9 ", "caf\xC3\xA9"));
  const std::pair<std::string, std::string> refused[] = {
      // body (declared UTF-8), the start of the message
      {Nested(static_cast<int>(kMaxXmlDepth), "<w:sdt><w:sdtContent>", P(Fld(" ADDIN A ", R("r"))),
              "</w:sdtContent></w:sdt>"),
       "word/header1.xml is too deeply nested: its elements go more than 256 levels deep"},
      {P(Fld(" ADDIN A ", R("caf\xE9"))), "word/header1.xml is not valid UTF-8 (byte "},
      {"<w:p>", "word/header1.xml is not well-formed XML ("},
  };
  for (const auto& [body, message] : refused) {
    try {
      OtherStoryFields(*WithHeader(body, "UTF-8"));
      ADD_FAILURE() << "the header was read: " << message;
    } catch (const DocxError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, message.size()), message);
    }
  }
}

}  // namespace
}  // namespace quillon::docx
