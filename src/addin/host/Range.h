// A contiguous stretch of the main text, in story positions: every character counts one, and
// so do a field's begin, separator and end marks, paragraph marks and table cell/row ends.
#pragma once

#include <string>

namespace quillon::host {

class Range {
 public:
  virtual ~Range() = default;

  // Returns the position of the range's first character. Throws HostError when the object
  // the range belongs to (a deleted field) is gone.
  virtual long Start() const = 0;
  // Returns the position just after the range's last character. Throws as Start.
  virtual long End() const = 0;
  // Returns the text the range shows: fields as their results, or their codes while their
  // codes are shown; paragraph marks as "\r", cell and row ends as "\r\a".
  virtual std::string Text() const = 0;
  // Returns the range's content with one character for every story position, so that the
  // n-th code point stands at Start() + n: text and field codes as written (shown or not),
  // U+0013, U+0014 and U+0015 for a field's begin, separator and end marks, "\r" for a
  // paragraph mark, "\a" for a cell or row end, U+FFFC for an object that shows no character.
  // Throws as Start.
  virtual std::string StoryText() const = 0;
  // Replaces the range's content with text. Throws HostError when the range cuts a field or
  // a table structure in two.
  virtual void SetText(const std::string& text) = 0;
  // Makes the range the selection.
  virtual void Select() = 0;
};

}  // namespace quillon::host
