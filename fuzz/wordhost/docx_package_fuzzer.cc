// Feeds arbitrary bytes to the .docx loader as a whole package: it must either refuse them with
// DocxError or give a document whose text, fields and re-saved bytes can be read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/TextExport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using quillon::docx::Document;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    auto doc = Document::FromBytes(bytes);
    quillon::docx::ShowText(*doc, false);
    quillon::docx::ListFields(*doc);
    doc->MarkModified();
    auto again = Document::FromBytes(doc->ToBytes());
    if (again->story().Length() != doc->story().Length()) __builtin_trap();
  } catch (const quillon::docx::DocxError&) {
  }
  return 0;
}
