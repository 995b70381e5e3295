// The selection in a Writer document, kept as story positions (anchor and active end) as
// Word's is; Writer's own view cursor is only borrowed to read pages. Included by this
// folder's files only.
#pragma once

#include <memory>

#include "addin/host/Selection.h"
#include "hosts/libreoffice/WriterDocument.h"
#include "hosts/libreoffice/WriterFields.h"
#include "hosts/libreoffice/WriterFind.h"
#include "hosts/libreoffice/WriterTables.h"

namespace quillon::libreoffice {

class WriterSelection : public host::Selection {
 public:
  // REQUIRES: document outlives the selection.
  explicit WriterSelection(WriterDocument& document);

  long Start() const override { return document_.Start(); }
  long End() const override { return document_.End(); }
  std::string Text() const override;
  void SetText(const std::string& text) override;
  std::unique_ptr<host::Range> Range() const override;
  host::Fields& Fields() override { return fields_; }
  host::Tables& Tables() override { return tables_; }
  host::Borders& Borders() override { return borders_; }
  host::Find& Find() override { return find_; }
  // The page (wdActiveEndPageNumber) of the selection's last character, from Writer's layout.
  long Information(int item) const override;
  long MoveLeft(host::Optional<int> unit, host::Optional<long> count,
                host::Optional<int> extend) override;
  long MoveRight(host::Optional<int> unit, host::Optional<long> count,
                 host::Optional<int> extend) override;
  long MoveUp(host::Optional<int> unit, host::Optional<long> count,
              host::Optional<int> extend) override;
  void TypeText(const std::string& text) override;
  void TypeParagraph() override;
  void SetRange(long start, long end) override { document_.Select(start, end); }

 private:
  long MoveByCharacter(long count, bool extend);
  long MoveByCell(long count);

  WriterDocument& document_;
  WriterFields fields_;
  WriterSelectionTables tables_;
  WriterBorders borders_;
  WriterFind find_;
};

}  // namespace quillon::libreoffice
