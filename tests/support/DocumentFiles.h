// Reads back a .docx file that a test wrote or a command changed, through the substitute
// Word's document model. Each call throws docx::DocxError when the file cannot be read.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "wordhost/docx/Document.h"

namespace quillon::testing {

// Returns what the main text of the document at path shows (paragraphs end in "\r").
inline std::string Shown(const std::string& path) {
  return docx::Document::Open(path)->Range()->Text();
}

// Returns the code of every field of the main text of the document at path, in order.
inline std::vector<std::string> FieldCodes(const std::string& path) {
  std::unique_ptr<docx::Document> document = docx::Document::Open(path);
  std::vector<std::string> codes;
  for (long i = 1; i <= document->Fields().Count(); ++i) {
    codes.push_back(document->Fields().Item(i)->Code()->Text());
  }
  return codes;
}

}  // namespace quillon::testing
