// XML parts written back as UTF-8 that says so.
#include "wordhost/docx/XmlPart.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(XmlPart, SerializeWritesTheDeclarationTheTreeHolds) {
  pugi::xml_document xml;
  ParsePart(xml, "part.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>",
            pugi::parse_full);
  EXPECT_EQ(SerializePart(xml), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>");
  ParsePart(xml, "part.xml", "<a>\xC3\xA9</a>", pugi::parse_full);
  EXPECT_EQ(SerializePart(xml), "<a>\xC3\xA9</a>");
  // A document in another encoding, once edited, is saved as UTF-8 that says so.
  auto doc = Document::FromBytes(MakeDocxAround(DocumentXml(P(R("caf\xE9")), "ISO-8859-1")));
  doc->Range(0, 0)->SetText("Le ");
  EXPECT_EQ(ShowText(*Document::FromBytes(doc->ToBytes()), false), "Le caf\xC3\xA9\n");
}

}  // namespace
}  // namespace quillon::docx
