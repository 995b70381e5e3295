// Tables of the main text: adding and deleting them, one table's style and style options, rows
// added by moving on from the last cell, and the collections of the document's tables and of
// the tables a selection touches.
#pragma once

#include <pugixml.hpp>

#include <vector>

#include "addin/host/Table.h"
#include "addin/host/Tables.h"

namespace quillon::docx {

class Document;

class Table : public host::Table {
 public:
  Table(Document& document, pugi::xml_node table) : document_(document), table_(table) {}

  std::string Style() const override;
  void SetStyle(const std::string& name) override;
  void SetApplyStyleHeadingRows(bool on) override { SetLook("firstRow", 0x0020, on); }
  void SetApplyStyleLastRow(bool on) override { SetLook("lastRow", 0x0040, on); }
  void SetApplyStyleFirstColumn(bool on) override { SetLook("firstColumn", 0x0080, on); }
  void SetApplyStyleLastColumn(bool on) override { SetLook("lastColumn", 0x0100, on); }
  long RowCount() const override;
  std::vector<std::unique_ptr<host::Range>> RowCells(long row) const override;
  std::unique_ptr<host::Range> Range() const override;
  void Delete() override;

 private:
  pugi::xml_node Properties();
  void SetLook(const char* attribute, unsigned bit, bool on);

  Document& document_;
  pugi::xml_node table_;
};

// The document's tables (those of the body, not nested ones), in order.
class DocumentTables : public host::Tables {
 public:
  explicit DocumentTables(Document& document) : document_(document) {}

  long Count() const override;
  std::unique_ptr<host::Table> Item(long index) const override;
  std::unique_ptr<host::Table> Add(
      const host::Range& range, long rows, long columns,
      host::Optional<host::WdDefaultTableBehavior> defaultBehavior,
      host::Optional<host::WdAutoFitBehavior> autoFitBehavior) override;

 protected:
  // Returns the tables of this collection, in order.
  virtual std::vector<pugi::xml_node> List() const;

  Document& document_;
};

// The outermost tables that the selection touches.
class SelectionTables : public DocumentTables {
 public:
  using DocumentTables::DocumentTables;

 protected:
  std::vector<pugi::xml_node> List() const override;
};

// Adds an empty row after the last row of table, copying its cell properties, and returns the
// new row's first cell. Throws HostError for a table without rows.
pugi::xml_node AddRow(Document& document, pugi::xml_node table);

// Returns the table cells (w:tc) that [start, end) touches, in order; for a collapsed range,
// the cell holding it.
std::vector<pugi::xml_node> CellsIn(const Document& document, long start, long end);

}  // namespace quillon::docx
