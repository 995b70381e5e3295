// Find and replace over what a Writer document shows (field results, or codes where shown),
// starting from the selection, as Word's Find does. Included by this folder's files only.
#pragma once

#include <string>

#include "addin/host/Find.h"
#include "hosts/libreoffice/WriterDocument.h"

namespace quillon::libreoffice {

class WriterReplacement : public host::Replacement {
 public:
  void ClearFormatting() override {}
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

class WriterFind : public host::Find {
 public:
  // REQUIRES: document outlives the find object.
  explicit WriterFind(WriterDocument& document) : document_(document) {}

  void ClearFormatting() override {}
  host::Replacement& Replacement() override { return replacement_; }
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  bool Forward() const override { return forward_; }
  void SetForward(bool forward) override { forward_ = forward; }
  int Wrap() const override { return wrap_; }
  void SetWrap(int wrap) override { wrap_ = wrap; }
  bool Format() const override { return format_; }
  void SetFormat(bool format) override { format_ = format; }
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

  bool Execute(const host::FindExecuteArgs& args) override;

 private:
  WriterDocument& document_;
  WriterReplacement replacement_;
  std::string text_;
  bool forward_ = true;
  int wrap_ = host::wdFindStop;
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

}  // namespace quillon::libreoffice
