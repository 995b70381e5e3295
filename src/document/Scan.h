// Plain text that stands for library entries: the abbreviations, meanings and combined forms an
// author typed before the document had fields, found in one pass over the main text for all
// entries at once; and the "Some Words (SW)" definitions of abbreviations the library lacks.
//
// Rules: a form counts as a whole word only (the letters, digits or underscore around it end
// it; "ML" is not found in "HTML" nor in "XML-based"), in its stored case; a meaning also with
// its first letter capitalised at the start of a sentence. A form followed by "s", "'s" or
// "’s" (a plural or possessive, such as "PCAs" or "FFT's") is kept as written and only
// reported, as a field would show the form without the ending. So is a form that stands for
// more than one entry (one abbreviation with two meanings). Where forms overlap, the one that
// starts first wins, then the longest.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/AbbreviationTable.h"
#include "library/SQLlite.h"

namespace quillon::host {
class Application;
}

namespace quillon::document {

enum class PlainForm {
  kShort,          // ABB
  kLong,           // Meaning
  kLongWithShort,  // Meaning (ABB)
  kShortWithLong,  // ABB (Meaning)
};

// Returns the form's name for people: "short", "long", "long (short)", "short (long)".
std::string_view PlainFormName(PlainForm form);

// A plain use of an entry that a field can take the place of.
struct PlainUse {
  PlainForm form = PlainForm::kShort;
  size_t entry = 0;  // index into the scanned entries
  long start = 0;    // story positions of the text a field replaces
  long end = 0;
  long page = 0;  // 0 without details
  std::string found;
  std::string context;  // the text around it on one line; "" without details
};

// A use that is left as written, and why.
struct KeptUse {
  long start = 0;
  long end = 0;
  long page = 0;
  std::string found;
  std::string context;
  std::string reason;
};

// A "Some Words (SW)" definition whose abbreviation the library lacks.
struct CandidateEntry {
  std::string abb;
  std::string text;
  long start = 0;  // story position of its first occurrence
  long page = 0;
  long count = 0;  // occurrences
  std::string context;
};

struct ScanReport {
  std::vector<PlainUse> uses;  // in document order, none overlapping
  std::vector<KeptUse> kept;
  std::vector<CandidateEntry> candidates;   // by first occurrence
  std::vector<AbbreviationTableAt> tables;  // the abbreviation tables left alone
};

struct ScanOptions {
  // Read each finding's page (this moves the selection) and context; converting needs neither.
  bool details = true;
};

// Scans the main text of the active document for plain uses of entries (see the rules above)
// and for candidate entries, leaving out fields (codes and results), web and e-mail addresses,
// tracked deletions and every table whose header reads like an abbreviation table. Entries
// with an empty value or one holding the field markup's tags are passed over. Throws HostError
// when reading the document fails.
ScanReport ScanDocument(host::Application& word,
                        const std::vector<library::AbbreviationEntry>& entries,
                        const ScanOptions& options = {});

}  // namespace quillon::document
