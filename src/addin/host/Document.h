// A document open in the host: its main text and the collections over it.
#pragma once

#include <memory>

#include "addin/host/Enumerations.h"
#include "addin/host/Fields.h"
#include "addin/host/Paragraphs.h"
#include "addin/host/Range.h"
#include "addin/host/Tables.h"

namespace quillon::host {

class Document {
 public:
  virtual ~Document() = default;
  // Returns the fields of the main text; owned by the document.
  virtual host::Fields& Fields() = 0;
  // Returns the paragraphs of the main text; owned by the document.
  virtual host::Paragraphs& Paragraphs() = 0;
  // Returns the tables of the main text; owned by the document.
  virtual host::Tables& Tables() = 0;
  // Returns the range [start, end); both missing: the whole main text. Caller owns it. Throws
  // HostError (kErrBadParameter) for positions outside the text.
  virtual std::unique_ptr<host::Range> Range(Optional<long> start = kMissing,
                                             Optional<long> end = kMissing) = 0;
};

}  // namespace quillon::host
