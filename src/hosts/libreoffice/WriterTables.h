// The tables and paragraphs of a Writer document's main text, and the borders of the
// selected cells. Included by this folder's files only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "addin/host/Borders.h"
#include "addin/host/Paragraphs.h"
#include "addin/host/Tables.h"
#include "hosts/libreoffice/WriterDocument.h"

namespace quillon::libreoffice {

class WriterTable : public host::Table {
 public:
  // The table Writer names name. REQUIRES: document outlives the table.
  WriterTable(WriterDocument& document, std::string name);
  std::string Style() const override;
  void SetStyle(const std::string& name) override;
  // Writer's tables have no style options of Word's kind: these change nothing.
  void SetApplyStyleHeadingRows(bool) override {}
  void SetApplyStyleLastRow(bool) override {}
  void SetApplyStyleFirstColumn(bool) override {}
  void SetApplyStyleLastColumn(bool) override {}
  long RowCount() const override;
  std::vector<std::unique_ptr<host::Range>> RowCells(long row) const override;
  std::unique_ptr<host::Range> Range() const override;
  void Delete() override;

 private:
  // Returns the table's index among the story's tables. Throws HostError when it is gone.
  size_t Index() const;
  WriterDocument& document_;
  std::string name_;
};

class WriterTables : public host::Tables {
 public:
  // REQUIRES: document outlives the collection.
  explicit WriterTables(WriterDocument& document) : document_(document) {}
  long Count() const override;
  std::unique_ptr<host::Table> Item(long index) const override;
  std::unique_ptr<host::Table> Add(const host::Range& range, long rows, long columns,
                                   host::Optional<host::WdDefaultTableBehavior> defaultBehavior,
                                   host::Optional<host::WdAutoFitBehavior> autoFit) override;

 protected:
  WriterDocument& document_;
};

// The tables the selection touches.
class WriterSelectionTables : public WriterTables {
 public:
  using WriterTables::WriterTables;
  long Count() const override;
  std::unique_ptr<host::Table> Item(long index) const override;

 private:
  std::vector<size_t> Touched() const;
};

class WriterBorders : public host::Borders {
 public:
  explicit WriterBorders(WriterDocument& document) : document_(document) {}
  std::unique_ptr<host::Border> Item(int which) override;

 private:
  WriterDocument& document_;
};

class WriterParagraphs : public host::Paragraphs {
 public:
  explicit WriterParagraphs(WriterDocument& document) : document_(document) {}
  long Count() const override;
  std::unique_ptr<host::Paragraph> Item(long index) const override;

 private:
  WriterDocument& document_;
};

}  // namespace quillon::libreoffice
