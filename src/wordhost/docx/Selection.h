// The selection in a document: an anchor and an active end in story positions, moved by
// characters, lines (the paragraph or table row above) and table cells.
#pragma once

#include <pugixml.hpp>

#include "addin/host/Selection.h"
#include "wordhost/docx/Borders.h"
#include "wordhost/docx/Fields.h"
#include "wordhost/docx/Find.h"
#include "wordhost/docx/Tables.h"

namespace quillon::docx {

class Document;

class Selection : public host::Selection {
 public:
  explicit Selection(Document& document);

  long Start() const override { return std::min(anchor_, active_); }
  long End() const override { return std::max(anchor_, active_); }
  // An insertion point shows nothing, so its text is empty.
  std::string Text() const override;
  void SetText(const std::string& text) override;
  std::unique_ptr<host::Range> Range() const override;
  host::Fields& Fields() override { return fields_; }
  host::Tables& Tables() override { return tables_; }
  host::Borders& Borders() override { return borders_; }
  host::Find& Find() override { return find_; }
  long Information(int item) const override;
  long MoveLeft(host::Optional<int> unit, host::Optional<long> count,
                host::Optional<int> extend) override;
  long MoveRight(host::Optional<int> unit, host::Optional<long> count,
                 host::Optional<int> extend) override;
  long MoveUp(host::Optional<int> unit, host::Optional<long> count,
              host::Optional<int> extend) override;
  void TypeText(const std::string& text) override;
  void TypeParagraph() override;
  void SetRange(long start, long end) override;

  // Moves both ends as an edit that turned [start, end) into newLength characters moves the
  // text after it; an end inside the edited stretch goes to the end of the new text.
  void Adjust(long start, long end, long newLength);

 private:
  long MoveByCharacter(long count, bool extend);
  long MoveByCell(long count, bool extend);
  void SelectCell(pugi::xml_node cell);

  Document& document_;
  long anchor_ = 0;
  long active_ = 0;
  SelectionFields fields_;
  SelectionTables tables_;
  SelectionBorders borders_;
  docx::Find find_;
};

}  // namespace quillon::docx
