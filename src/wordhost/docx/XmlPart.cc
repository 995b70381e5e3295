#include "wordhost/docx/XmlPart.h"

#include <string_view>
#include <utility>

#include "base/Text.h"
#include "base/Utf8.h"
#include "wordhost/docx/DocxError.h"

namespace quillon::docx {
namespace {

// Returns whether some element of xml lies more than limit levels deep, walking the tree
// without recursion.
bool DeeperThan(const pugi::xml_document& xml, size_t limit) {
  size_t depth = 0;
  pugi::xml_node node = xml.first_child();
  while (node) {
    if (node.type() == pugi::node_element && depth + 1 > limit) return true;
    if (pugi::xml_node child = node.first_child()) {
      node = child;
      ++depth;
      continue;
    }
    while (node && !node.next_sibling()) {
      node = node.parent();
      if (depth == 0) return false;
      --depth;
    }
    if (node) node = node.next_sibling();
  }
  return false;
}

}  // namespace

void ParsePart(pugi::xml_document& xml, const std::string& name, const std::string& content,
               unsigned options) {
  pugi::xml_parse_result result = xml.load_buffer(content.data(), content.size(), options);
  if (!result) {
    xml.reset();
    throw DocxError(name + " is not well-formed XML (" + result.description() + " at byte " +
                    std::to_string(result.offset) + ")");
  }
  pugi::xml_node declaration = xml.first_child();
  if (declaration.type() != pugi::node_declaration) declaration = {};
  pugi::xml_attribute encoding = declaration.attribute("encoding");
  if (result.encoding == pugi::encoding_utf8) {
    // The parser takes UTF-8 bytes as they are; bytes other readers refuse stop here.
    size_t invalid = FindInvalidUtf8(content);
    if (invalid != std::string::npos) {
      std::string declared = encoding ? encoding.value() : "";
      xml.reset();
      if (!declared.empty() && CompareTextIgnoreCase(declared, "UTF-8") != 0 &&
          CompareTextIgnoreCase(declared, "UTF8") != 0) {
        throw DocxError(name + " is written in the encoding " + declared +
                        ", which cannot be read (UTF-8, UTF-16, UTF-32 and ISO-8859-1 can)");
      }
      throw DocxError(name + " is not valid UTF-8 (byte " + std::to_string(invalid) + ")");
    }
  }
  if (DeeperThan(xml, kMaxXmlDepth)) {
    xml.reset();
    throw DocxError(name + " is too deeply nested: its elements go more than " +
                    std::to_string(kMaxXmlDepth) + " levels deep");
  }
  if (encoding) encoding.set_value("UTF-8");
}

namespace {

// Writes xml as a part to writer: UTF-8, with the declaration the tree holds, if any.
void SavePart(const pugi::xml_document& xml, pugi::xml_writer& writer) {
  xml.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
}

}  // namespace

std::string SerializePart(const pugi::xml_document& xml) {
  // Straight into the string: a stream would buffer every byte and copy the whole part again.
  struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
      text.append(static_cast<const char*>(data), size);
    }
  } writer;
  SavePart(xml, writer);
  return std::move(writer.text);
}

DeflatedPart SerializeDeflated(const pugi::xml_document& xml) {
  // Each block is deflated while the next is written; the whole text is never held at once.
  struct DeflatingWriter : pugi::xml_writer {
    PartDeflater deflater{kDeflateLevel};
    void write(const void* data, size_t size) override {
      deflater.Append(std::string_view(static_cast<const char*>(data), size));
    }
  } writer;
  SavePart(xml, writer);
  return writer.deflater.Finish();
}

}  // namespace quillon::docx
