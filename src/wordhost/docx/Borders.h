// The borders of the table cells a selection covers.
#pragma once

#include "addin/host/Borders.h"

namespace quillon::docx {

class Document;

class Border : public host::Border {
 public:
  Border(Document& document, int which) : document_(document), which_(which) {}
  int LineStyle() const override;
  void SetLineStyle(int style) override;

 private:
  Document& document_;
  int which_;
};

class SelectionBorders : public host::Borders {
 public:
  explicit SelectionBorders(Document& document) : document_(document) {}
  std::unique_ptr<host::Border> Item(int which) override;

 private:
  Document& document_;
};

}  // namespace quillon::docx
