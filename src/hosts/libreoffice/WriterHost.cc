#include "hosts/libreoffice/WriterHost.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>

#include <algorithm>
#include <optional>

#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/UnoSession.h"
#include "hosts/libreoffice/WriterDocument.h"
#include "hosts/libreoffice/WriterFields.h"
#include "hosts/libreoffice/WriterRange.h"
#include "hosts/libreoffice/WriterScript.h"
#include "hosts/libreoffice/WriterSelection.h"
#include "hosts/libreoffice/WriterTableFit.h"
#include "hosts/libreoffice/WriterTables.h"

namespace quillon::libreoffice {
namespace {

using css::uno::UNO_QUERY_THROW;

class Document : public host::Document {
 public:
  explicit Document(WriterDocument& document)
      : document_(document), fields_(document, false), paragraphs_(document), tables_(document) {}
  host::Fields& Fields() override { return fields_; }
  host::Paragraphs& Paragraphs() override { return paragraphs_; }
  host::Tables& Tables() override { return tables_; }
  std::unique_ptr<host::Range> Range(host::Optional<long> start,
                                     host::Optional<long> end) override {
    long length = document_.story().Length();
    long s = start.value_or(0);
    long e = end.value_or(length);
    if (s < 0 || e > length || s > e) {
      throw host::HostError(host::kErrBadParameter, "the range lies outside the document");
    }
    return std::make_unique<WriterRange>(document_, s, e);
  }

 private:
  WriterDocument& document_;
  WriterFields fields_;
  WriterParagraphs paragraphs_;
  WriterTables tables_;
};

}  // namespace

struct WriterApplication::Impl {
  Reference<css::lang::XComponent> component;
  bool ownsComponent = true;  // loaded by us, closed with us
  // The user's view cursor on an open document: the selection starts there and goes back
  // there when the routine is done.
  Reference<css::text::XTextViewCursor> viewCursor;
  std::unique_ptr<WriterDocument> writer;
  std::unique_ptr<Document> document;
  std::unique_ptr<WriterSelection> selection;
};

WriterApplication::WriterApplication(LibreOfficeSession& session, const std::string& path,
                                     WriterWalk walk)
    : impl_(std::make_unique<Impl>()) {
  // Loaded with its views free: Writer lays the whole document out before it answers the next
  // call, and the page look-ups then read that layout.
  impl_->component = LoadHidden(session, path);
  try {
    Reference<css::text::XTextDocument> text(impl_->component, UNO_QUERY_THROW);
    impl_->writer = std::make_unique<WriterDocument>(
        impl_->component, text->getText(),
        walk == WriterWalk::kInWriter ? WriterScript::Of(session) : nullptr);
    // Nobody can undo in a document we loaded ourselves; without undo, each edit is spared
    // Writer's copy of the marks around it, which costs a look at every fieldmark.
    Reference<css::document::XUndoManagerSupplier> undo(impl_->component, UNO_QUERY_THROW);
    Reference<css::document::XUndoManager>(undo->getUndoManager(), UNO_QUERY_THROW)->lock();
  } catch (const css::uno::Exception& e) {
    CloseDocument(impl_->component);
    throw LibreOfficeError(path + " is not a text document: " + ToUtf8(e.Message));
  } catch (const host::HostError& e) {
    CloseDocument(impl_->component);
    throw LibreOfficeError("cannot read " + path + ": " + e.what());
  }
  impl_->document = std::make_unique<Document>(*impl_->writer);
  impl_->selection = std::make_unique<WriterSelection>(*impl_->writer);
}

WriterApplication::WriterApplication(const OpenWriterDocument& document)
    : impl_(std::make_unique<Impl>()) {
  impl_->ownsComponent = false;
  try {
    impl_->component.set(document.model, UNO_QUERY_THROW);
    Reference<css::text::XTextDocument> text(document.model, UNO_QUERY_THROW);
    Reference<css::text::XTextViewCursorSupplier> view(document.model->getCurrentController(),
                                                       css::uno::UNO_QUERY);
    if (view.is()) impl_->viewCursor = view->getViewCursor();
    impl_->writer = std::make_unique<WriterDocument>(impl_->component, text->getText(), nullptr);
  } catch (const css::uno::Exception& e) {
    throw LibreOfficeError("the document is not a text document: " + ToUtf8(e.Message));
  } catch (const host::HostError& e) {
    throw LibreOfficeError(std::string("cannot read the document: ") + e.what());
  }
  impl_->document = std::make_unique<Document>(*impl_->writer);
  impl_->selection = std::make_unique<WriterSelection>(*impl_->writer);
  if (impl_->viewCursor.is()) {
    const WriterStory& story = impl_->writer->story();
    std::optional<long> start = story.PositionOf(impl_->viewCursor->getStart());
    std::optional<long> end = story.PositionOf(impl_->viewCursor->getEnd());
    // A cursor outside the main text (a header, a frame) leaves the selection at the start.
    if (start && end) impl_->writer->Select(std::min(*start, *end), std::max(*start, *end));
  }
}

WriterApplication::~WriterApplication() {
  if (!impl_->ownsComponent && impl_->viewCursor.is()) {
    try {
      const WriterDocument& writer = *impl_->writer;
      Reference<css::text::XTextCursor> selected =
          writer.story().Cursor(writer.Start(), writer.End());
      impl_->viewCursor->gotoRange(selected->getStart(), false);
      impl_->viewCursor->gotoRange(selected->getEnd(), true);
    } catch (const std::exception&) {
      // The view cursor stays where the routine's edits left it.
    } catch (const css::uno::Exception&) {
      // The same.
    }
  }
  impl_->selection.reset();
  impl_->document.reset();
  impl_->writer.reset();
  if (impl_->ownsComponent) CloseDocument(impl_->component);
}

host::Document& WriterApplication::ActiveDocument() {
  return *impl_->document;
}

host::Selection& WriterApplication::Selection() {
  return *impl_->selection;
}

bool WriterApplication::Modified() const {
  return impl_->writer->modified();
}

void WriterApplication::FitTables() {
  try {
    FitTablesToContents(impl_->writer->story());
  } catch (const host::HostError& e) {
    throw LibreOfficeError(e.what());
  }
}

void WriterApplication::SaveAs(const std::string& path) {
  try {
    impl_->writer->story().Flush();
  } catch (const host::HostError& e) {
    throw LibreOfficeError(e.what());
  }
  FitTables();
  css::uno::Sequence<css::beans::PropertyValue> arguments(2);
  arguments.getArray()[0].Name = "FilterName";
  arguments.getArray()[0].Value <<= OUString("MS Word 2007 XML");
  arguments.getArray()[1].Name = "Overwrite";
  arguments.getArray()[1].Value <<= true;
  try {
    Reference<css::frame::XStorable> storable(impl_->component, UNO_QUERY_THROW);
    storable->storeToURL(FileUrl(path), arguments);
  } catch (const css::uno::Exception& e) {
    throw LibreOfficeError("LibreOffice cannot write " + path + ": " + ToUtf8(e.Message));
  }
}

}  // namespace quillon::libreoffice
