// The fields of the other stories, read from their parts as the main text is: refused when
// nested too deeply, not UTF-8 or not well-formed.
#include "wordhost/docx/OtherStories.h"

#include <gtest/gtest.h>

#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

using namespace testing;

// Returns a document whose only header part holds body.
std::unique_ptr<Document> WithHeader(const std::string& body) {
  auto parts = DocxParts(DocumentXml(P(R("main"))));
  parts.emplace_back("word/header1.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:hdr "
                     "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">" +
                         body + "</w:hdr>");
  return Document::FromBytes(Package::Create(parts));
}

TEST(OtherStories, HeadersAreRefusedWithTheirReason) {
  struct Case {
    const char* name;
    std::string body;
    std::string message;
  };
  const Case cases[] = {
      {"NestedTooDeeply",
       Nested(static_cast<int>(kMaxXmlDepth), "<w:sdt><w:sdtContent>", P(Fld(" ADDIN A ", R("r"))),
              "</w:sdtContent></w:sdt>"),
       "word/header1.xml is too deeply nested: its elements go more than 256 "
       "levels deep"},
      {"NotUtf8", P(Fld(" ADDIN A ", R("caf\xE9"))), "word/header1.xml is not valid UTF-8 (byte "},
      {"NotWellFormed", "<w:p>", "word/header1.xml is not well-formed XML ("},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Document> document = WithHeader(c.body);
    try {
      OtherStoryFields(*document);
      ADD_FAILURE() << "the header was read";
    } catch (const DocxError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message);
    }
  }
}

}  // namespace
}  // namespace quillon::docx
