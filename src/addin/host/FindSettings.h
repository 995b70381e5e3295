// The settings a Find object keeps from one search to the next, for hosts that search what the
// document shows themselves: every property of Find, and Execute's arguments taken in. Only
// Execute is left to the host.
#pragma once

#include <string>

#include "addin/host/Find.h"
#include "addin/host/Replacement.h"

namespace quillon::host {

// A replacement that keeps its text; formatting is never applied, so there is none to clear.
class TextReplacement : public Replacement {
 public:
  void ClearFormatting() override {}
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

class FindSettings : public Find {
 public:
  // Formatting is never searched for, so clearing it has nothing to clear.
  void ClearFormatting() override {}
  host::Replacement& Replacement() override { return replacement_; }
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  bool Forward() const override { return forward_; }
  void SetForward(bool on) override { forward_ = on; }
  int Wrap() const override { return wrap_; }
  void SetWrap(int wrap) override { wrap_ = wrap; }
  bool Format() const override { return format_; }
  void SetFormat(bool on) override { format_ = on; }
  bool MatchCase() const override { return matchCase_; }
  void SetMatchCase(bool on) override { matchCase_ = on; }
  bool MatchWholeWord() const override { return wholeWord_; }
  void SetMatchWholeWord(bool on) override { wholeWord_ = on; }
  bool MatchWildcards() const override { return wildcards_; }
  void SetMatchWildcards(bool on) override { wildcards_ = on; }
  bool MatchSoundsLike() const override { return soundsLike_; }
  void SetMatchSoundsLike(bool on) override { soundsLike_ = on; }
  bool MatchAllWordForms() const override { return allWordForms_; }
  void SetMatchAllWordForms(bool on) override { allWordForms_ = on; }
  bool MatchKashida() const override { return kashida_; }
  void SetMatchKashida(bool on) override { kashida_ = on; }
  bool MatchDiacritics() const override { return diacritics_; }
  void SetMatchDiacritics(bool on) override { diacritics_ = on; }
  bool MatchAlefHamza() const override { return alefHamza_; }
  void SetMatchAlefHamza(bool on) override { alefHamza_ = on; }
  bool MatchControl() const override { return control_; }
  void SetMatchControl(bool on) override { control_ = on; }

 protected:
  // Takes in the options args gives (they stay set for later searches) and returns the
  // replace mode (WdReplace). Throws HostError (kErrNotAvailable) for wildcard, sounds-like
  // and word-form searches and for replace all, which the hosts do not offer.
  int TakeArguments(const FindExecuteArgs& args);

  TextReplacement replacement_;
  std::string text_;
  bool forward_ = true;
  int wrap_ = wdFindStop;
  bool format_ = false;
  bool matchCase_ = false;
  bool wholeWord_ = false;
  bool wildcards_ = false;
  bool soundsLike_ = false;
  bool allWordForms_ = false;
  bool kashida_ = false;
  bool diacritics_ = false;
  bool alefHamza_ = false;
  bool control_ = false;
};

}  // namespace quillon::host
