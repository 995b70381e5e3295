// Pages from LibreOffice's layout for the .docx model: at the first page asked for (and again
// after the document changed) a flattened copy with a bookmark at the end of each entry's first
// abbreviation field is handed to a headless LibreOffice, which says the page of every
// bookmark. One load answers a whole walk over the fields.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "hosts/libreoffice/LibreOfficeSession.h"
#include "wordhost/docx/PageSource.h"

namespace quillon::cli {

class LibreOfficePages : public docx::PageSource {
 public:
  LibreOfficePages();
  ~LibreOfficePages() override;

  // Returns the page of pos, which must be the end mark of a field. Starts LibreOffice at
  // the first call. Throws HostError (kErrCommandFailed) when LibreOffice fails, or
  // (kErrBadParameter) for a position that is no field's end.
  long PageAt(const docx::Document& document, long pos) override;

  // Returns how many times the layout was asked (for tests and reports).
  int Layouts() const { return layouts_; }

 private:
  void Layout(const docx::Document& document, long pos);

  std::unique_ptr<libreoffice::LibreOfficeSession> session_;
  uint64_t generation_ = ~uint64_t{0};
  std::unordered_map<long, long> pageOfEnd_;  // field end position -> page
  int layouts_ = 0;
};

}  // namespace quillon::cli
