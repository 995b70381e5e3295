#include "addin/host/FindSettings.h"

#include "addin/host/HostError.h"

namespace quillon::host {

int FindSettings::TakeArguments(const FindExecuteArgs& args) {
  if (args.findText) text_ = *args.findText;
  if (args.matchCase) matchCase_ = *args.matchCase;
  if (args.matchWholeWord) wholeWord_ = *args.matchWholeWord;
  if (args.matchWildcards) wildcards_ = *args.matchWildcards;
  if (args.matchSoundsLike) soundsLike_ = *args.matchSoundsLike;
  if (args.matchAllWordForms) allWordForms_ = *args.matchAllWordForms;
  if (args.forward) forward_ = *args.forward;
  if (args.wrap) wrap_ = *args.wrap;
  if (args.format) format_ = *args.format;
  if (args.replaceWith) replacement_.SetText(*args.replaceWith);
  if (args.matchKashida) kashida_ = *args.matchKashida;
  if (args.matchDiacritics) diacritics_ = *args.matchDiacritics;
  if (args.matchAlefHamza) alefHamza_ = *args.matchAlefHamza;
  if (args.matchControl) control_ = *args.matchControl;
  if (wildcards_ || soundsLike_ || allWordForms_) {
    throw HostError(kErrNotAvailable,
                    "wildcard, sounds-like and word-form searches are not supported");
  }
  int replace = args.replace.value_or(wdReplaceNone);
  if (replace == wdReplaceAll) throw HostError(kErrNotAvailable, "replace all is not supported");
  return replace;
}

}  // namespace quillon::host
