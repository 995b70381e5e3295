// Feeds arbitrary bytes as the main document XML of a package, then reads and edits its
// fields: field marks in any order (unbalanced, nested, simple inside complex) must give a
// tolerant reading or a HostError, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/Package.h"
#include "wordhost/docx/Selection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quillon;
  std::string xml(reinterpret_cast<const char*>(data), size);
  std::string package;
  try {
    package = docx::Package::Create({{"word/document.xml", xml}});
  } catch (const docx::DocxError&) {
    return 0;
  }
  try {
    auto doc = docx::Document::FromBytes(package);
    host::Fields& fields = doc->Fields();
    for (long i = 1; i <= fields.Count(); ++i) {
      auto field = fields.Item(i);
      field->Code()->Text();
      field->Result()->Text();
    }
    try {
      if (fields.Count() > 0) {
        fields.Item(1)->Result()->SetText("{X-#1}");
        fields.Item(fields.Count())->Select();
        auto added = doc->selection().Fields().Add(*doc->selection().Range(), host::wdFieldQuote,
                                                   "<ABB>X</ABB>");
        added->Code()->Text();
      }
      long length = doc->story().Length();
      doc->Range(length / 3, length / 2)->SetText("text");
    } catch (const host::HostError&) {
    }
    auto again = docx::Document::FromBytes(doc->ToBytes());
    if (again->Fields().Count() != doc->Fields().Count()) __builtin_trap();
  } catch (const docx::DocxError&) {
  }
  return 0;
}
