// Reads back a .docx file that a test wrote or a command changed, through the substitute
// Word's document model. Each call throws docx::DocxError when the file cannot be read.
#pragma once

#include <string>

#include "wordhost/docx/Document.h"

namespace quillon::testing {

// Returns what the main text of the document at path shows (paragraphs end in "\r").
inline std::string Shown(const std::string& path) {
  return docx::Document::Open(path)->Range()->Text();
}

}  // namespace quillon::testing
