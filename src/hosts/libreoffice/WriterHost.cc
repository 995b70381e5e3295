#include "hosts/libreoffice/WriterHost.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XFormField.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>

#include <rtl/ustrbuf.hxx>

#include <vector>

#include "addin/host/HostError.h"
#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/UnoSession.h"

namespace quillon::libreoffice {
namespace {

using css::text::XTextRange;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

constexpr const char* kCodeParameter = "vnd.oasis.opendocument.field.code";

[[noreturn]] void NotOffered(const std::string& what) {
  throw host::HostError(host::kErrNotAvailable, what + " is not offered by the LibreOffice host");
}

// Runs a UNO call; a UNO exception becomes the host error the routines expect.
template <typename Call>
auto Uno(const char* step, Call call) -> decltype(call()) {
  try {
    return call();
  } catch (const css::uno::Exception& e) {
    throw host::HostError(host::kErrCommandFailed,
                          std::string("LibreOffice: ") + step + ": " + ToUtf8(e.Message));
  }
}

// Returns text without the marks Writer keeps in the text of a fieldmark's anchor.
std::string WithoutFieldMarks(const OUString& text) {
  rtl::OUStringBuffer kept(text.getLength());
  for (sal_Int32 i = 0; i < text.getLength(); ++i) {
    sal_Unicode c = text[i];
    if (c == 0x0007 || c == 0x0003 || c == 0x0008) continue;  // start, separator, end
    kept.append(c);
  }
  return ToUtf8(kept.makeStringAndClear());
}

// Appends the fieldmarks of text (tables included) in document order.
void CollectFieldmarks(const Reference<css::text::XText>& text,
                       std::vector<Reference<css::text::XTextContent>>& out) {
  Reference<css::container::XEnumerationAccess> paragraphs(text, UNO_QUERY_THROW);
  Reference<css::container::XEnumeration> each = paragraphs->createEnumeration();
  while (each->hasMoreElements()) {
    Reference<css::lang::XServiceInfo> element(each->nextElement(), UNO_QUERY_THROW);
    if (element->supportsService("com.sun.star.text.TextTable")) {
      Reference<css::text::XTextTable> table(element, UNO_QUERY_THROW);
      const css::uno::Sequence<OUString> cells = table->getCellNames();
      for (sal_Int32 i = 0; i < cells.getLength(); ++i) {
        Reference<css::text::XText> cell(table->getCellByName(cells[i]), UNO_QUERY_THROW);
        CollectFieldmarks(cell, out);
      }
      continue;
    }
    Reference<css::container::XEnumerationAccess> paragraph(element, UNO_QUERY);
    if (!paragraph.is()) continue;
    Reference<css::container::XEnumeration> portions = paragraph->createEnumeration();
    while (portions->hasMoreElements()) {
      Reference<css::beans::XPropertySet> portion(portions->nextElement(), UNO_QUERY_THROW);
      OUString type;
      portion->getPropertyValue("TextPortionType") >>= type;
      if (type != "TextFieldStart") continue;
      Reference<css::text::XTextContent> mark(portion->getPropertyValue("Bookmark"), UNO_QUERY);
      Reference<css::text::XFormField> field(mark, UNO_QUERY);
      if (field.is()) out.push_back(mark);
    }
  }
}

}  // namespace

struct WriterApplication::Impl {
  class Selection;
  class Fields;

  Reference<css::lang::XComponent> component;
  bool ownsComponent = true;  // loaded by us, closed with us
  Reference<css::text::XText> body;
  bool modified = false;
  uint64_t edits = 0;  // counts changes, so that the field list is read again after one
  std::unique_ptr<host::Document> document;
  std::unique_ptr<host::Selection> selection;
  Reference<XTextRange> selected;  // what the selection covers

  std::vector<Reference<css::text::XTextContent>> fieldmarks;
  uint64_t fieldmarksEdits = ~uint64_t{0};

  const std::vector<Reference<css::text::XTextContent>>& Fieldmarks() {
    if (fieldmarksEdits != edits) {
      fieldmarks.clear();
      Uno("reading the fields", [&] { CollectFieldmarks(body, fieldmarks); });
      fieldmarksEdits = edits;
    }
    return fieldmarks;
  }

  void Changed() {
    modified = true;
    ++edits;
  }

  // Replaces what range covers with text and returns the new text's range.
  Reference<XTextRange> Replace(const Reference<XTextRange>& range, const std::string& text) {
    return Uno("writing text", [&] {
      Reference<css::text::XTextCursor> cursor = range->getText()->createTextCursorByRange(range);
      cursor->setString(ToOUString(text));
      Changed();
      return Reference<XTextRange>(cursor, UNO_QUERY_THROW);
    });
  }
};

namespace {

using Impl = WriterApplication::Impl;

// A range that shows a fixed text (a field's code, kept as a parameter).
class CodeRange : public host::Range {
 public:
  explicit CodeRange(std::string text) : text_(std::move(text)) {}
  long Start() const override { NotOffered("a story position"); }
  long End() const override { NotOffered("a story position"); }
  std::string StoryText() const override { NotOffered("text by story position"); }
  std::string Text() const override { return text_; }
  void SetText(const std::string&) override { NotOffered("writing a field code"); }
  void Select() override { NotOffered("selecting a field code"); }

 private:
  std::string text_;
};

// A stretch of Writer text.
class TextRange : public host::Range {
 public:
  TextRange(Impl& impl, Reference<XTextRange> range) : impl_(impl), range_(std::move(range)) {}
  long Start() const override { NotOffered("a story position"); }
  long End() const override { NotOffered("a story position"); }
  std::string StoryText() const override { NotOffered("text by story position"); }
  std::string Text() const override {
    return Uno("reading text", [&] { return WithoutFieldMarks(range_->getString()); });
  }
  void SetText(const std::string& text) override { range_ = impl_.Replace(range_, text); }
  void Select() override { impl_.selected = range_; }

 private:
  Impl& impl_;
  Reference<XTextRange> range_;
};

// The result of a fieldmark: from after its start and separator marks to before its end mark.
class ResultRange : public host::Range {
 public:
  ResultRange(Impl& impl, Reference<css::text::XTextContent> mark)
      : impl_(impl), mark_(std::move(mark)) {}
  long Start() const override { NotOffered("a story position"); }
  long End() const override { NotOffered("a story position"); }
  std::string StoryText() const override { NotOffered("text by story position"); }
  std::string Text() const override {
    return Uno("reading a field result",
               [&] { return WithoutFieldMarks(mark_->getAnchor()->getString()); });
  }
  void SetText(const std::string& text) override {
    Uno("writing a field result", [&] {
      Reference<XTextRange> anchor = mark_->getAnchor();
      Reference<css::text::XTextCursor> cursor =
          anchor->getText()->createTextCursorByRange(anchor->getStart());
      cursor->goRight(2, false);  // past the start and separator marks
      cursor->gotoRange(anchor->getEnd(), true);
      cursor->goLeft(1, true);  // short of the end mark
      cursor->setString(ToOUString(text));
    });
    impl_.Changed();
  }
  void Select() override {
    impl_.selected = Uno("selecting a field result", [&] { return mark_->getAnchor(); });
  }

 private:
  Impl& impl_;
  Reference<css::text::XTextContent> mark_;
};

class Field : public host::Field {
 public:
  Field(Impl& impl, Reference<css::text::XTextContent> mark)
      : impl_(impl), mark_(std::move(mark)) {}
  std::unique_ptr<host::Range> Code() const override {
    Alive();
    return Uno("reading a field code", [&] {
      Reference<css::text::XFormField> field(mark_, UNO_QUERY_THROW);
      OUString code;
// getParameters is marked deprecated, yet it is the one way to a fieldmark's code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
      field->getParameters()->getByName(OUString::createFromAscii(kCodeParameter)) >>= code;
#pragma GCC diagnostic pop
      // Writer trims the blank that opens a code; the routines count from it.
      std::string text = ToUtf8(code);
      if (text.empty() || text[0] != ' ') text.insert(0, " ");
      return std::make_unique<CodeRange>(text);
    });
  }
  std::unique_ptr<host::Range> Result() const override {
    Alive();
    return std::make_unique<ResultRange>(impl_, mark_);
  }
  bool ShowCodes() const override { return false; }
  void SetShowCodes(bool) override { NotOffered("showing field codes"); }
  void Select() override {
    Alive();
    impl_.selected = Uno("selecting a field", [&] { return mark_->getAnchor(); });
  }
  void Delete() override {
    Alive();
    // Emptying the whole anchor removes the fieldmark with its marks and result.
    Reference<XTextRange> anchor = Uno("deleting a field", [&] { return mark_->getAnchor(); });
    Reference<XTextRange> place = impl_.Replace(anchor, "");
    if (impl_.selected.is()) impl_.selected = place;
    deleted_ = true;
  }

 private:
  void Alive() const {
    if (deleted_) throw host::HostError(host::kErrObjectDeleted, "the field is deleted");
  }
  Impl& impl_;
  Reference<css::text::XTextContent> mark_;
  bool deleted_ = false;
};

}  // namespace

class Impl::Fields : public host::Fields {
 public:
  explicit Fields(Impl& impl) : impl_(impl) {}
  long Count() const override { return static_cast<long>(impl_.Fieldmarks().size()); }
  std::unique_ptr<host::Field> Item(long index) const override {
    const auto& marks = impl_.Fieldmarks();
    if (index < 1 || index > static_cast<long>(marks.size())) {
      throw host::HostError(host::kErrNoSuchMember,
                            "the requested member of the collection does not exist");
    }
    return std::make_unique<Field>(impl_, marks[static_cast<size_t>(index - 1)]);
  }
  std::unique_ptr<host::Field> Add(const host::Range&, host::WdFieldType,
                                   host::Optional<std::string>, host::Optional<bool>) override {
    NotOffered("adding a field");
  }

 private:
  Impl& impl_;
};

namespace {

class Document : public host::Document {
 public:
  explicit Document(Impl& impl) : fields_(impl) {}
  host::Fields& Fields() override { return fields_; }
  host::Paragraphs& Paragraphs() override { NotOffered("the paragraph collection"); }
  host::Tables& Tables() override { NotOffered("the table collection"); }
  std::unique_ptr<host::Range> Range(host::Optional<long>, host::Optional<long>) override {
    NotOffered("a range by story positions");
  }

 private:
  Impl::Fields fields_;
};

}  // namespace

class Impl::Selection : public host::Selection {
 public:
  explicit Selection(Impl& impl) : impl_(impl) {}
  long Start() const override { NotOffered("a story position"); }
  long End() const override { NotOffered("a story position"); }
  std::string Text() const override {
    if (!impl_.selected.is()) return {};
    return Uno("reading the selection",
               [&] { return WithoutFieldMarks(impl_.selected->getString()); });
  }
  void SetText(const std::string& text) override {
    if (!impl_.selected.is()) NotOffered("writing without a selection");
    impl_.selected = impl_.Replace(impl_.selected, text);
  }
  std::unique_ptr<host::Range> Range() const override {
    if (!impl_.selected.is()) NotOffered("an empty selection's range");
    return std::make_unique<TextRange>(impl_, impl_.selected);
  }
  host::Fields& Fields() override { NotOffered("the selection's fields"); }
  host::Tables& Tables() override { NotOffered("the selection's tables"); }
  host::Borders& Borders() override { NotOffered("the selection's borders"); }
  host::Find& Find() override { NotOffered("find and replace"); }
  long Information(int) const override { NotOffered("the selection's information"); }
  long MoveLeft(host::Optional<int>, host::Optional<long>, host::Optional<int>) override {
    NotOffered("moving the selection");
  }
  long MoveRight(host::Optional<int>, host::Optional<long>, host::Optional<int>) override {
    NotOffered("moving the selection");
  }
  long MoveUp(host::Optional<int>, host::Optional<long>, host::Optional<int>) override {
    NotOffered("moving the selection");
  }
  void TypeText(const std::string& text) override { SetText(text); }
  void TypeParagraph() override { NotOffered("typing a paragraph"); }
  void SetRange(long, long) override { NotOffered("a selection by story positions"); }

 private:
  Impl& impl_;
};

WriterApplication::WriterApplication(LibreOfficeSession& session, const std::string& path)
    : impl_(std::make_unique<Impl>()) {
  impl_->component = LoadHidden(session, path);
  try {
    Reference<css::text::XTextDocument> text(impl_->component, UNO_QUERY_THROW);
    impl_->body = text->getText();
  } catch (const css::uno::Exception& e) {
    CloseDocument(impl_->component);
    throw LibreOfficeError(path + " is not a text document: " + ToUtf8(e.Message));
  }
  impl_->document = std::make_unique<Document>(*impl_);
  impl_->selection = std::make_unique<Impl::Selection>(*impl_);
}

WriterApplication::WriterApplication(const OpenWriterDocument& document)
    : impl_(std::make_unique<Impl>()) {
  impl_->ownsComponent = false;
  try {
    impl_->component.set(document.model, UNO_QUERY_THROW);
    Reference<css::text::XTextDocument> text(document.model, UNO_QUERY_THROW);
    impl_->body = text->getText();
    Reference<css::text::XTextViewCursorSupplier> view(document.model->getCurrentController(),
                                                       UNO_QUERY);
    if (view.is()) {
      Reference<XTextRange> cursor(view->getViewCursor(), UNO_QUERY_THROW);
      impl_->selected.set(cursor->getText()->createTextCursorByRange(cursor), UNO_QUERY_THROW);
    }
  } catch (const css::uno::Exception& e) {
    throw LibreOfficeError("the document is not a text document: " + ToUtf8(e.Message));
  }
  impl_->document = std::make_unique<Document>(*impl_);
  impl_->selection = std::make_unique<Impl::Selection>(*impl_);
}

WriterApplication::~WriterApplication() {
  impl_->fieldmarks.clear();
  impl_->selected.clear();
  impl_->body.clear();
  if (impl_->ownsComponent) CloseDocument(impl_->component);
}

host::Document& WriterApplication::ActiveDocument() {
  return *impl_->document;
}

host::Selection& WriterApplication::Selection() {
  return *impl_->selection;
}

bool WriterApplication::Modified() const {
  return impl_->modified;
}

void WriterApplication::SaveAs(const std::string& path) {
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
