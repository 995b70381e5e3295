// A document open in the host: its main text and the collections over it.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "addin/host/Enumerations.h"
#include "addin/host/Fields.h"
#include "addin/host/Paragraphs.h"
#include "addin/host/Range.h"
#include "addin/host/Tables.h"

namespace quillon::host {

// A field for Document::AddFields: code written over the main text's range [start, end), with
// result as what it shows.
struct NewField {
  long start = 0;
  long end = 0;
  std::string code;
  std::string result;
};

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
  // Writes each of fields as Fields().Add over its range (wdFieldEmpty, its code) followed by
  // Result().SetText(result) would, in one call: for batches, which a host may write faster.
  // Ranges are positions before the call, in order and not overlapping. Returns the position
  // just after the last field's end mark (-1 for no fields). Throws HostError as Add does;
  // the fields before the failing one may stay written.
  virtual long AddFields(std::span<const NewField> fields);
};

}  // namespace quillon::host
