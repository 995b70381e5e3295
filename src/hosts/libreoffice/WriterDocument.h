// The state the Writer host's objects share for one loaded document: the story mirror, the
// selection (as story positions), whether the document changed, and the page of a position
// from Writer's own layout. Every edit goes through here, so that the selection follows it
// as Word's would. Included by this folder's files only.
#pragma once

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>

#include <string>

#include "hosts/libreoffice/WriterStory.h"

namespace quillon::libreoffice {

class WriterDocument {
 public:
  // REQUIRES: component is a loaded text document whose main text is body; it outlives this.
  // script, when given, runs the walks inside Writer.
  WriterDocument(Reference<css::lang::XComponent> component, Reference<css::text::XText> body,
                 std::shared_ptr<WriterScript> script);
  // Lets Writer's views follow the document again. Never throws.
  ~WriterDocument();
  WriterDocument(const WriterDocument&) = delete;
  WriterDocument& operator=(const WriterDocument&) = delete;

  WriterStory& story() { return story_; }
  const WriterStory& story() const { return story_; }
  bool modified() const { return modified_; }

  // The selection: anchor and active end; Start() <= End().
  long anchor = 0;
  long active = 0;
  long Start() const { return std::min(anchor, active); }
  long End() const { return std::max(anchor, active); }
  // Sets the selection to [start, end), clamped to the story; an insertion point cannot pass
  // the final paragraph mark.
  void Select(long start, long end);

  // The story's edits (WriterStory), with the selection moved along as Word moves it. Throw
  // as the story's.
  long Replace(long start, long end, const std::string& text);
  StoryFieldPtr AddField(long start, long end, const std::string& code, const std::string& result);
  void DeleteField(StoryField& field);
  void SplitParagraph(long pos);
  // Adds a table at pos (WriterStory::AddTable) and puts the insertion point at its start.
  // Returns the table's index.
  size_t AddTable(long pos, long rows, long columns);
  void AddRow(size_t table);
  void RemoveTable(size_t table);
  // Notes a change that moves no position (a border).
  void Changed() { modified_ = true; }

  // Returns the page of Writer's layout on which pos stands. Writer's view cursor is put back
  // where it was. Throws HostError (kErrCommandFailed) when Writer cannot say.
  long PageAt(long pos);

 private:
  void Adjust(long start, long end, long written);

  Reference<css::lang::XComponent> component_;
  WriterStory story_;
  bool modified_ = false;
  Reference<css::text::XTextViewCursor> viewCursor_;
};

}  // namespace quillon::libreoffice
