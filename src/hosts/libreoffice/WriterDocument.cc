#include "hosts/libreoffice/WriterDocument.h"

#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>

#include <algorithm>

#include "hosts/libreoffice/WriterCalls.h"

namespace quillon::libreoffice {

using css::uno::UNO_QUERY_THROW;

namespace {

// Writer then keeps its views still while the routine edits, as Word does with screen updating
// off; the layout still answers page look-ups. Locked before the walk, which would otherwise
// share Writer with the layout it runs in the background after a load. Returns component.
Reference<css::lang::XComponent> LockViews(Reference<css::lang::XComponent> component) {
  Uno("locking the views",
      [&] { Reference<css::frame::XModel>(component, UNO_QUERY_THROW)->lockControllers(); });
  return component;
}

void UnlockViews(const Reference<css::lang::XComponent>& component) {
  try {
    Reference<css::frame::XModel>(component, UNO_QUERY_THROW)->unlockControllers();
  } catch (const css::uno::Exception&) {
    // The document is going away.
  }
}

}  // namespace

WriterDocument::WriterDocument(Reference<css::lang::XComponent> component,
                               Reference<css::text::XText> body,
                               std::shared_ptr<WriterScript> script) try
    : component_(LockViews(component)), story_(component, std::move(body), std::move(script)) {
} catch (...) {
  // A user's document must not stay locked after a walk that failed.
  UnlockViews(component);
  throw;
}

WriterDocument::~WriterDocument() {
  UnlockViews(component_);
}

void WriterDocument::Select(long start, long end) {
  long length = story_.Length();
  start = std::clamp(start, 0L, length);
  end = std::clamp(end, start, length);
  if (start == length) start = end = length - 1;
  anchor = start;
  active = end;
}

void WriterDocument::Adjust(long start, long end, long written) {
  auto move = [&](long pos) {
    if (pos >= end) return pos + written - (end - start);
    if (pos > start) return start + written;
    return pos;
  };
  anchor = move(anchor);
  active = move(active);
  modified_ = true;
}

long WriterDocument::Replace(long start, long end, const std::string& text) {
  long written = story_.Replace(start, end, text);
  Adjust(start, end, written);
  return written;
}

StoryFieldPtr WriterDocument::AddField(long start, long end, const std::string& code,
                                       const std::string& result) {
  long length = story_.Length();
  StoryFieldPtr field = story_.AddField(start, end, code, result);
  Adjust(start, end, story_.Length() - length + (end - start));
  return field;
}

void WriterDocument::DeleteField(StoryField& field) {
  Replace(field.begin, field.end + 1, "");
}

void WriterDocument::SplitParagraph(long pos) {
  story_.SplitParagraph(pos);
  Adjust(pos, pos, 1);
}

size_t WriterDocument::AddTable(long pos, long rows, long columns) {
  size_t table = story_.AddTable(pos, rows, columns);
  long start = story_.units()[story_.tables()[table].firstUnit].start;
  modified_ = true;
  Select(start, start);
  return table;
}

void WriterDocument::AddRow(size_t table) {
  const StoryTable& t = story_.tables()[table];
  long pos = story_.units()[t.lastUnit].start + story_.units()[t.lastUnit].length;
  long length = story_.Length();
  story_.AddRow(table);
  Adjust(pos, pos, story_.Length() - length);
}

void WriterDocument::RemoveTable(size_t table) {
  const StoryTable& t = story_.tables()[table];
  long start = story_.units()[t.firstUnit].start;
  long end = story_.units()[t.lastUnit].start + story_.units()[t.lastUnit].length;
  story_.RemoveTable(table);
  Adjust(start, end, 0);
}

long WriterDocument::PageAt(long pos) {
  Reference<css::text::XTextCursor> place = story_.Cursor(pos, pos);
  return Uno("reading the page of a position", [&] {
    if (!viewCursor_.is()) {
      Reference<css::frame::XModel> model(component_, UNO_QUERY_THROW);
      Reference<css::text::XTextViewCursorSupplier> supplier(model->getCurrentController(),
                                                             UNO_QUERY_THROW);
      viewCursor_ = supplier->getViewCursor();
    }
    // Put the view cursor back afterwards: it is the user's, not ours.
    Reference<css::text::XTextRange> savedStart = viewCursor_->getStart();
    Reference<css::text::XTextRange> savedEnd = viewCursor_->getEnd();
    viewCursor_->gotoRange(Reference<css::text::XTextRange>(place, UNO_QUERY_THROW), false);
    Reference<css::text::XPageCursor> pages(viewCursor_, UNO_QUERY_THROW);
    long page = pages->getPage();
    viewCursor_->gotoRange(savedStart, false);
    viewCursor_->gotoRange(savedEnd, true);
    return page;
  });
}

}  // namespace quillon::libreoffice
