// The substitute Word application: one active document (a .docx) and its selection.
#pragma once

#include <memory>

#include "addin/host/Application.h"
#include "wordhost/docx/Document.h"

namespace quillon::docx {

class Application : public host::Application {
 public:
  Application() = default;
  explicit Application(std::unique_ptr<Document> document) : document_(std::move(document)) {}

  // Makes document the active one (replacing any other). Returns it; the application owns it.
  Document& SetDocument(std::unique_ptr<Document> document);
  // Returns the active document, or nullptr when none is open.
  Document* document() { return document_.get(); }

  host::Document& ActiveDocument() override;
  host::Selection& Selection() override;
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }

 private:
  std::unique_ptr<Document> document_;
  bool visible_ = false;
};

}  // namespace quillon::docx
