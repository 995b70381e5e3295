#include "wordhost/docx/Application.h"

#include "addin/host/HostError.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {

Document& Application::SetDocument(std::unique_ptr<Document> document) {
  document_ = std::move(document);
  return *document_;
}

host::Document& Application::ActiveDocument() {
  if (!document_) throw host::HostError(host::kErrCommandFailed, "no document is open");
  return *document_;
}

host::Selection& Application::Selection() {
  if (!document_) throw host::HostError(host::kErrCommandFailed, "no document is open");
  return document_->selection();
}

}  // namespace quillon::docx
