// Find and replace over what the document shows (field results, or codes where shown),
// starting from the selection.
#pragma once

#include "addin/host/FindSettings.h"
#include "base/TextSearch.h"

namespace quillon::docx {

class Document;

class Find : public host::FindSettings {
 public:
  explicit Find(Document& document) : document_(document) {}

  bool Execute(const host::FindExecuteArgs& args) override;

 private:
  Document& document_;
};

// AdaptCase (base/TextSearch.h) is the case a replacement takes here too.
using quillon::AdaptCase;

}  // namespace quillon::docx
