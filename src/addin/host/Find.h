// Find and replace on what the document shows, starting from the selection.
#pragma once

#include <string>

#include "addin/host/Enumerations.h"
#include "addin/host/Replacement.h"

namespace quillon::host {

// Execute's arguments; each one left missing takes the value set on the Find object.
struct FindExecuteArgs {
  Optional<std::string> findText;
  Optional<bool> matchCase;
  Optional<bool> matchWholeWord;
  Optional<bool> matchWildcards;
  Optional<bool> matchSoundsLike;
  Optional<bool> matchAllWordForms;
  Optional<bool> forward;
  Optional<int> wrap;
  Optional<bool> format;
  Optional<std::string> replaceWith;
  Optional<int> replace;  // WdReplace; missing: find only
  Optional<bool> matchKashida;
  Optional<bool> matchDiacritics;
  Optional<bool> matchAlefHamza;
  Optional<bool> matchControl;
};

class Find {
 public:
  virtual ~Find() = default;
  // Forgets any formatting to search for.
  virtual void ClearFormatting() = 0;
  // Returns the replacement settings; owned by the Find object.
  virtual host::Replacement& Replacement() = 0;

  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual bool Forward() const = 0;
  virtual void SetForward(bool forward) = 0;
  // WdFindWrap.
  virtual int Wrap() const = 0;
  virtual void SetWrap(int wrap) = 0;
  virtual bool Format() const = 0;
  virtual void SetFormat(bool format) = 0;
  virtual bool MatchCase() const = 0;
  virtual void SetMatchCase(bool on) = 0;
  virtual bool MatchWholeWord() const = 0;
  virtual void SetMatchWholeWord(bool on) = 0;
  // Options that only matter to scripts, wildcards or word forms the host does not search
  // by; they are kept and reported back. Wildcards, sounds-like and word forms being on makes
  // Execute fail with HostError, as the host cannot honour them.
  virtual bool MatchWildcards() const = 0;
  virtual void SetMatchWildcards(bool on) = 0;
  virtual bool MatchSoundsLike() const = 0;
  virtual void SetMatchSoundsLike(bool on) = 0;
  virtual bool MatchAllWordForms() const = 0;
  virtual void SetMatchAllWordForms(bool on) = 0;
  virtual bool MatchKashida() const = 0;
  virtual void SetMatchKashida(bool on) = 0;
  virtual bool MatchDiacritics() const = 0;
  virtual void SetMatchDiacritics(bool on) = 0;
  virtual bool MatchAlefHamza() const = 0;
  virtual void SetMatchAlefHamza(bool on) = 0;
  virtual bool MatchControl() const = 0;
  virtual void SetMatchControl(bool on) = 0;

  // Searches for the text (a non-collapsed selection first, then onwards, wrapping when Wrap
  // is 1) and selects the match; with replace 1 the match is replaced, the replacement is
  // left selected. Returns whether a match was found. Throws HostError for unsupported
  // options.
  virtual bool Execute(const FindExecuteArgs& args = {}) = 0;
};

}  // namespace quillon::host
