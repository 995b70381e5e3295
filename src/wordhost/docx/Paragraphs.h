// The paragraphs of the main text, table cell paragraphs included.
#pragma once

#include <pugixml.hpp>

#include "addin/host/Paragraphs.h"

namespace quillon::docx {

class Document;

class Paragraph : public host::Paragraph {
 public:
  Paragraph(Document& document, pugi::xml_node node) : document_(document), node_(node) {}
  std::unique_ptr<host::Range> Range() const override;

 private:
  Document& document_;
  pugi::xml_node node_;
};

class DocumentParagraphs : public host::Paragraphs {
 public:
  explicit DocumentParagraphs(Document& document) : document_(document) {}
  long Count() const override;
  std::unique_ptr<host::Paragraph> Item(long index) const override;

 private:
  Document& document_;
};

}  // namespace quillon::docx
