// A .docx document: the package, its main document XML, the story positions over it and the
// field index, behind Word's Document interface. Every edit of the main text's characters goes
// through the routines here, which keep fields whole, the field index in step and the
// selection in place; tables (Tables.h) build on them.
#pragma once

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "addin/host/Document.h"
#include "wordhost/docx/FieldIndex.h"
#include "wordhost/docx/Package.h"
#include "wordhost/docx/PageSource.h"
#include "wordhost/docx/Story.h"
#include "wordhost/docx/Styles.h"

namespace quillon::docx {

class Selection;
class DocumentFields;
class DocumentParagraphs;
class DocumentTables;
struct FieldPrototype;

class Document : public host::Document {
 public:
  // Returns the document in the .docx file at path. Throws DocxError whose message says what
  // is wrong (not a file, not a zip, no main document, malformed XML, a part too large or too
  // deeply nested) without naming the file, which the caller adds. The file is never written
  // by loading.
  static std::unique_ptr<Document> Open(const std::string& path);
  // Returns the document held in bytes. Throws as Open.
  static std::unique_ptr<Document> FromBytes(std::string bytes);
  ~Document() override;

  host::Fields& Fields() override;
  host::Paragraphs& Paragraphs() override;
  host::Tables& Tables() override;
  std::unique_ptr<host::Range> Range(host::Optional<long> start = host::kMissing,
                                     host::Optional<long> end = host::kMissing) override;
  // Checks the order, ranges and text of every field before writing any, so that such a fault
  // leaves the document unchanged; then writes each in one edit, its result included.
  long AddFields(std::span<const host::NewField> fields) override;

  // Returns the package the document was loaded from, the name of its main part and that
  // part's XML as it is now. Valid while the document lives.
  const Package& package() const { return package_; }
  const std::string& mainPart() const { return mainPart_; }
  const pugi::xml_document& xml() const { return xml_; }

  // Returns the path the document was opened from ("" for one made from bytes).
  const std::string& Path() const { return path_; }
  // Returns whether the document changed since it was loaded.
  bool Modified() const { return modified_; }
  // Returns the bytes of the .docx as it is now: unchanged parts keep their stored bytes; the
  // column widths of tables fitting their contents are first refitted to their text
  // (FitContentTables). Throws DocxError on failure.
  std::string ToBytes() const;
  // Writes the document to path (its own path when empty) as WriteFileAtomically does (links
  // followed, mode and owner kept, write-protected files refused). Throws DocxError, whose
  // message names the file, on failure, leaving the file as it was.
  void Save(const std::string& path = {});

  // The model, for the objects that implement the host interfaces and for tools.
  Story& story() { return *story_; }
  const Story& story() const { return *story_; }
  FieldIndex& fieldIndex() { return fields_; }
  const FieldIndex& fieldIndex() const { return fields_; }
  docx::Selection& selection() { return *selection_; }
  Styles& styles() const;

  // Returns the code text and the result text of a field (as Field.Code.Text and
  // Field.Result.Text read them).
  std::string CodeText(const FieldRecord& field) const;
  std::string ResultText(const FieldRecord& field) const;

  // Throws HostError (kErrBadParameter) unless 0 <= start <= end <= story length.
  void CheckRange(long start, long end) const;
  // Checks [start, end) as CheckRange does before an edit of it. The collapsed end of the
  // story becomes the position before the final paragraph mark, which an insertion point
  // cannot pass: what is written there goes before the mark.
  void CheckEdit(long& start, long& end) const;
  // Throws HostError (kErrBadParameter), saying where, unless text is valid UTF-8: the
  // document never holds what other readers would refuse.
  static void CheckText(const std::string& text);
  // Replaces [start, end) with text ("\r" or "\n" start a paragraph, "\t" is a tab) in the
  // formatting of the replaced text or of the run at start. Returns the length written.
  // Throws HostError when the range cuts a field in two or spans table cells, or for text
  // that is not valid UTF-8; the document is then unchanged.
  long ReplaceText(long start, long end, const std::string& text);
  // Removes [start, end) and the fields wholly inside it. Throws as ReplaceText.
  void RemoveContent(long start, long end);
  // Writes a new field (wdFieldQuote, or wdFieldEmpty with text as the code) over [start, end).
  // Returns its record. Throws HostError for another type, a range that cuts a field or text
  // that is not valid UTF-8.
  FieldPtr AddField(long start, long end, host::WdFieldType type, const std::string& text);
  // Removes field (marks, code and result). REQUIRES: field.alive.
  void DeleteField(FieldRecord& field);
  // Replaces field's result with one run of text in the formatting of the result's first
  // run. Throws HostError for text that is not valid UTF-8. REQUIRES: field.alive.
  void SetFieldResult(FieldRecord& field, const std::string& text);
  // Types a paragraph mark at pos.
  void SplitParagraph(long pos);
  // Notes an edit made outside the routines above (tables) that turned [start, end) into
  // newLength characters: the document is modified and the selection moves with the text.
  void NoteEdit(long start, long end, long newLength);
  // Makes pages come from source (nullptr: from the document's own page marks). REQUIRES:
  // source outlives its use here.
  void SetPageSource(PageSource* source) { pageSource_ = source; }
  // Returns the page of pos as the page source (or the document's marks) says.
  long PageAt(long pos) const;
  // Notes a change of the document's XML that moves no text (table properties).
  void MarkModified() { modified_ = true; }

 private:
  Document(Package package, std::string path);
  void Load();
  // Reads and parses the main part. Throws DocxError when it is damaged or not well-formed.
  void ParseMainPart();
  void EnsureComplexIn(long start, long end);
  // Removes [start, end) as RemoveContent does, but leaves the records of the fields wholly
  // inside it in the field index: returns how many there are, at indexes [first, first + n).
  // The caller must take them out (Erase, or Replace for one) before any other field lookup.
  size_t RemoveContentLeavingFields(long start, long end, size_t& first);
  // Writes a field over [start, end) as copies of prototype's runs, its result in one text
  // element. Returns its record. Throws as AddField, after CheckEdit and CheckText.
  FieldPtr WriteField(long start, long end, const FieldPrototype& prototype);
  void ConvertSimple(pugi::xml_node simple);
  long InsertText(long pos, const std::string& text, pugi::xml_node format, bool asCode);

  Package package_;
  std::string path_;
  std::string mainPart_;
  std::string stylesPart_;
  bool stylesPartExists_ = false;
  pugi::xml_document xml_;
  std::unique_ptr<Story> story_;
  FieldIndex fields_;
  mutable std::unique_ptr<Styles> styles_;
  std::unique_ptr<docx::Selection> selection_;
  std::unique_ptr<DocumentFields> fieldsCollection_;
  std::unique_ptr<DocumentParagraphs> paragraphs_;
  std::unique_ptr<DocumentTables> tables_;
  bool modified_ = false;
  PageSource* pageSource_ = nullptr;
};

}  // namespace quillon::docx
