// The user's selection (or insertion point) in the active document.
#pragma once

#include <memory>
#include <string>

#include "addin/host/Borders.h"
#include "addin/host/Enumerations.h"
#include "addin/host/Fields.h"
#include "addin/host/Find.h"
#include "addin/host/Range.h"
#include "addin/host/Tables.h"

namespace quillon::host {

class Selection {
 public:
  virtual ~Selection() = default;

  // Returns the selection's start position.
  virtual long Start() const = 0;
  // Returns the selection's end position.
  virtual long End() const = 0;
  // Returns what the selection shows (as Range::Text).
  virtual std::string Text() const = 0;
  // Replaces the selection with text and selects the new text. Throws as Range::SetText.
  virtual void SetText(const std::string& text) = 0;
  // Returns the selected range (fixed positions). Caller owns it.
  virtual std::unique_ptr<host::Range> Range() const = 0;
  // Returns the fields inside the selection; owned by the selection.
  virtual host::Fields& Fields() = 0;
  // Returns the tables the selection touches; owned by the selection.
  virtual host::Tables& Tables() = 0;
  // Returns the borders of the selected table cells; owned by the selection.
  virtual host::Borders& Borders() = 0;
  // Returns the selection's find object; owned by the selection, settings persist.
  virtual host::Find& Find() = 0;
  // Returns information item (WdInformation). Throws HostError for an item not supported.
  virtual long Information(int item) const = 0;
  // Move the selection by count units (WdUnits: character, line (MoveUp only), cell); with
  // extend 1 the anchor stays. A non-collapsed selection moved without extend first
  // collapses towards the move. MoveRight by cell from a table's last cell adds a row.
  // Returns the number of units moved. Throws HostError for an unsupported unit.
  virtual long MoveLeft(Optional<int> unit = kMissing, Optional<long> count = kMissing,
                        Optional<int> extend = kMissing) = 0;
  virtual long MoveRight(Optional<int> unit = kMissing, Optional<long> count = kMissing,
                         Optional<int> extend = kMissing) = 0;
  virtual long MoveUp(Optional<int> unit = kMissing, Optional<long> count = kMissing,
                      Optional<int> extend = kMissing) = 0;
  // Types text at the insertion point (replacing a non-collapsed selection).
  virtual void TypeText(const std::string& text) = 0;
  // Types a paragraph mark at the insertion point.
  virtual void TypeParagraph() = 0;
  // Sets the selection to [start, end).
  virtual void SetRange(long start, long end) = 0;
};

}  // namespace quillon::host
