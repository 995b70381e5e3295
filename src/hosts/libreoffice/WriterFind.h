// Find and replace over what a Writer document shows (field results, or codes where shown),
// starting from the selection, as Word's Find does. Included by this folder's files only.
#pragma once

#include <string>

#include "addin/host/FindSettings.h"
#include "hosts/libreoffice/WriterDocument.h"

namespace quillon::libreoffice {

class WriterFind : public host::FindSettings {
 public:
  // REQUIRES: document outlives the find object.
  explicit WriterFind(WriterDocument& document) : document_(document) {}

  bool Execute(const host::FindExecuteArgs& args) override;

 private:
  WriterDocument& document_;
};

}  // namespace quillon::libreoffice
