// The paragraphs of the main text, 1-based, table cell paragraphs included.
#pragma once

#include <memory>

#include "addin/host/Range.h"

namespace quillon::host {

class Paragraph {
 public:
  virtual ~Paragraph() = default;
  // Returns the paragraph's range, its mark included. Caller owns the result.
  virtual std::unique_ptr<host::Range> Range() const = 0;
};

class Paragraphs {
 public:
  virtual ~Paragraphs() = default;
  // Returns the number of paragraphs.
  virtual long Count() const = 0;
  // Returns paragraph index (1-based); caller owns it; invalidated by any edit. Throws
  // HostError (kErrNoSuchMember) when index is out of range.
  virtual std::unique_ptr<Paragraph> Item(long index) const = 0;
};

}  // namespace quillon::host
