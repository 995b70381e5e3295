#include "wordhost/docx/Document.h"

#include <algorithm>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include "addin/host/HostError.h"
#include "base/AtomicFile.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/Fields.h"
#include "wordhost/docx/Paragraphs.h"
#include "wordhost/docx/Range.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/Tables.h"
#include "wordhost/docx/Utf8.h"

namespace quillon::docx {
namespace {

constexpr const char* kMainNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kStylesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr unsigned kParseOptions = pugi::parse_full | pugi::parse_ws_pcdata;

std::string Directory(const std::string& part) {
  size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// Resolves a relationship target against the folder of its source part ("../x" and "/x").
std::string ResolveTarget(const std::string& sourceDir, std::string target) {
  if (!target.empty() && target[0] == '/') return target.substr(1);
  std::string dir = sourceDir;
  while (target.rfind("../", 0) == 0) {
    target.erase(0, 3);
    if (!dir.empty()) dir.pop_back();
    size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
  }
  if (target.rfind("./", 0) == 0) target.erase(0, 2);
  return dir + target;
}

std::string RelsPartOf(const std::string& part) {
  return Directory(part) + "_rels/" + part.substr(Directory(part).size()) + ".rels";
}

void SetText(pugi::xml_node element, const std::string& text) {
  element.text().set(text.c_str());
  element.append_attribute("xml:space") = "preserve";
}

pugi::xml_node AddMark(pugi::xml_node run, const char* type) {
  pugi::xml_node mark = run.append_child("w:fldChar");
  mark.append_attribute("w:fldCharType") = type;
  return mark;
}

// Keeps a copy of run properties that outlives the deletion of the run they come from.
class FormatCopy {
 public:
  explicit FormatCopy(pugi::xml_node format) {
    if (format) node_ = holder_.append_copy(format);
  }
  pugi::xml_node node() const { return node_; }

 private:
  pugi::xml_document holder_;
  pugi::xml_node node_;
};

}  // namespace

Document::Document(Package package, std::string path)
    : package_(std::move(package)), path_(std::move(path)) {}

Document::~Document() = default;

std::unique_ptr<Document> Document::Open(const std::string& path) {
  try {
    std::unique_ptr<Document> document(new Document(Package::FromFile(path), path));
    document->Load();
    return document;
  } catch (const DocxError& e) {
    throw DocxError("cannot read " + path + ": " + e.what());
  }
}

std::unique_ptr<Document> Document::FromBytes(std::string bytes, const std::string& name) {
  try {
    std::unique_ptr<Document> document(new Document(Package::FromBytes(std::move(bytes)), ""));
    document->Load();
    return document;
  } catch (const DocxError& e) {
    throw DocxError("cannot read " + name + ": " + e.what());
  }
}

std::string Document::RelationshipTarget(const std::string& sourcePart,
                                         const std::string& type) const {
  std::string rels = sourcePart.empty() ? "_rels/.rels" : RelsPartOf(sourcePart);
  if (!package_.Has(rels)) return {};
  std::string content = package_.Read(rels);
  pugi::xml_document xml;
  if (!xml.load_buffer(content.data(), content.size())) {
    throw DocxError("the relationships part " + rels + " is not well-formed XML");
  }
  for (pugi::xml_node rel : xml.child("Relationships").children("Relationship")) {
    std::string_view relType = rel.attribute("Type").value();
    if (relType == type ||
        (relType.size() > type.size() && relType.substr(relType.size() - type.size()) == type &&
         type[0] == '/')) {
      return ResolveTarget(Directory(sourcePart), rel.attribute("Target").value());
    }
  }
  return {};
}

void Document::Load() {
  // The main part is the package's officeDocument relationship; Word always names it
  // word/document.xml, which is also the fallback for packages without relationships.
  mainPart_ = RelationshipTarget("", "/officeDocument");
  if (mainPart_.empty() || !package_.Has(mainPart_)) mainPart_ = "word/document.xml";
  if (!package_.Has(mainPart_)) {
    throw DocxError("not a Word document: the package has no word/document.xml");
  }
  std::string content = package_.Read(mainPart_);
  pugi::xml_parse_result result = xml_.load_buffer(content.data(), content.size(), kParseOptions);
  if (!result) {
    throw DocxError(mainPart_ + " is not well-formed XML (" + result.description() + " at byte " +
                    std::to_string(result.offset) + ")");
  }
  pugi::xml_node root = xml_.document_element();
  if (std::string_view(root.name()) != "w:document") {
    throw DocxError(mainPart_ + " is not a WordprocessingML document (root element <" +
                    std::string(root.name()) + ">)");
  }
  std::string_view ns = root.attribute("xmlns:w").value();
  if (ns != kMainNamespace) {
    throw DocxError(mainPart_ + " uses an unsupported WordprocessingML namespace");
  }
  pugi::xml_node body = root.child("w:body");
  if (!body) throw DocxError(mainPart_ + " has no document body");
  stylesPart_ = RelationshipTarget(mainPart_, kStylesType);
  stylesPartExists_ = !stylesPart_.empty() && package_.Has(stylesPart_);
  if (stylesPart_.empty()) stylesPart_ = Directory(mainPart_) + "styles.xml";
  story_ = std::make_unique<Story>(body);
  fields_.Build(*story_);
  selection_ = std::make_unique<docx::Selection>(*this);
  fieldsCollection_ = std::make_unique<DocumentFields>(*this);
  paragraphs_ = std::make_unique<DocumentParagraphs>(*this);
  tables_ = std::make_unique<DocumentTables>(*this);
  // Loading may give a body that lacked a final paragraph one (Story adds it); that is not a
  // change the user made, but the saved file must carry it for positions to hold.
  modified_ = false;
}

host::Fields& Document::Fields() {
  return *fieldsCollection_;
}
host::Paragraphs& Document::Paragraphs() {
  return *paragraphs_;
}
host::Tables& Document::Tables() {
  return *tables_;
}

std::unique_ptr<host::Range> Document::Range(host::Optional<long> start, host::Optional<long> end) {
  long s = start.value_or(0);
  long e = end.value_or(start ? s : story_->Length());
  if (!start && !end) e = story_->Length();
  CheckRange(s, e);
  return std::make_unique<docx::Range>(*this, s, e);
}

Styles& Document::styles() const {
  if (!styles_) {
    styles_ = std::make_unique<Styles>(stylesPartExists_ ? package_.Read(stylesPart_) : "");
  }
  return *styles_;
}

std::string Document::CodeText(const FieldRecord& field) const {
  long begin = fields_.BeginOf(field, *story_);
  long separator = fields_.SeparatorOf(field, *story_);
  UnitHint hint = fields_.BeginUnit(field, *story_);
  return story_->Text(begin + 1, separator, fields_, &hint);
}

std::string Document::ResultText(const FieldRecord& field) const {
  long separator = fields_.SeparatorOf(field, *story_);
  long end = fields_.EndOf(field, *story_);
  if (separator == end) return {};
  UnitHint hint = fields_.BeginUnit(field, *story_);
  return story_->Text(separator + 1, end, fields_, &hint);
}

void Document::CheckRange(long start, long end) const {
  if (start < 0 || end < start || end > story_->Length()) {
    throw host::HostError(host::kErrBadParameter, "the range " + std::to_string(start) + ".." +
                                                      std::to_string(end) +
                                                      " is outside the document");
  }
}

void Document::NoteEdit(long start, long end, long newLength) {
  modified_ = true;
  selection_->Adjust(start, end, newLength);
}

void Document::ConvertSimple(pugi::xml_node simple) {
  FieldRecord* field = fields_.OwnerOf(simple);
  pugi::xml_node parent = simple.parent();
  pugi::xml_node format = simple.child("w:r").child("w:rPr");
  CutPoint cut{parent, simple};
  pugi::xml_node beginRun = Story::NewRun(cut, format);
  pugi::xml_node begin = AddMark(beginRun, "begin");
  for (const char* flag : {"w:fldLock", "w:dirty"}) {
    if (pugi::xml_attribute a = simple.attribute(flag)) begin.append_copy(a);
  }
  if (pugi::xml_node data = simple.child("w:fldData")) begin.append_move(data);
  pugi::xml_node codeRun = Story::NewRun(cut, format);
  SetText(codeRun.append_child("w:instrText"), simple.attribute("w:instr").value());
  pugi::xml_node separate = AddMark(Story::NewRun(cut, format), "separate");
  for (pugi::xml_node child = simple.first_child(); child;) {
    pugi::xml_node next = child.next_sibling();
    parent.insert_move_before(child, simple);
    child = next;
  }
  pugi::xml_node end = AddMark(Story::NewRun(cut, format), "end");
  if (field != nullptr) {
    field->simple = false;
    field->begin = begin;
    field->separate = separate;
    field->end = end;
    fields_.Reregister(*field, simple);
  }
  parent.remove_child(simple);
}

void Document::EnsureComplexIn(long start, long end) {
  // Edits work on runs; a simple field has none for its marks and code, so the simple fields
  // of the paragraphs an edit touches are first rewritten as the complex fields they stand
  // for. Positions do not change.
  long last = std::min(std::max(start, end), story_->Length() - 1);
  for (size_t unit = story_->UnitAt(std::min(start, story_->Length() - 1));
       unit < story_->UnitCount() && story_->UnitStart(unit) <= last; ++unit) {
    bool converted = false;
    while (true) {
      pugi::xml_node simple;
      for (const Atom& atom : story_->Atoms(unit)) {
        if (atom.kind == AtomKind::kSimpleBegin) {
          simple = atom.node;
          break;
        }
      }
      if (!simple) break;
      ConvertSimple(simple);
      story_->Refresh(unit);
      converted = true;
    }
    if (converted) modified_ = true;
  }
}

void Document::RemoveContent(long start, long end) {
  size_t first = 0;
  size_t removed = RemoveContentLeavingFields(start, end, first);
  if (removed > 0) fields_.Erase(first, first + removed);
}

size_t Document::RemoveContentLeavingFields(long start, long end, size_t& first) {
  CheckRange(start, end);
  end = std::min(end, story_->Length() - 1);
  if (start >= end) return 0;
  EnsureComplexIn(start, end);
  // Every field with a mark in the range must lie wholly inside it: deleting part of a field
  // would leave marks that no longer pair up.
  std::unordered_map<FieldRecord*, int> marks;
  for (size_t unit = story_->UnitAt(start);
       unit < story_->UnitCount() && story_->UnitStart(unit) < end; ++unit) {
    long base = story_->UnitStart(unit);
    for (const Atom& atom : story_->Atoms(unit)) {
      long pos = base + atom.offset;
      if (pos < start) continue;
      if (pos >= end) break;
      if (atom.kind == AtomKind::kBegin || atom.kind == AtomKind::kEnd) {
        if (FieldRecord* field = fields_.OwnerOf(atom.node)) ++marks[field];
      }
    }
  }
  for (const auto& [field, count] : marks) {
    if (count != 2) {
      throw host::HostError(host::kErrCommandFailed,
                            "the range cannot be changed: it cuts a field in two");
    }
  }
  first = marks.empty() ? 0 : fields_.LowerBound(start, *story_);
  story_->Delete(start, end);
  NoteEdit(start, end, 0);
  return marks.size();
}

long Document::InsertText(long pos, const std::string& text, pugi::xml_node format, bool asCode) {
  long written = 0;
  size_t i = 0;
  while (i <= text.size()) {
    size_t stop = text.find_first_of("\r\n", i);
    std::string segment = text.substr(i, stop == std::string::npos ? std::string::npos : stop - i);
    if (!segment.empty()) {
      CutPoint cut = story_->Cut(pos);
      pugi::xml_node run = Story::NewRun(cut, format);
      size_t k = 0;
      while (k < segment.size()) {
        size_t special = segment.find_first_of("\t\v", k);
        if (special != k) {
          std::string piece =
              segment.substr(k, special == std::string::npos ? special : special - k);
          SetText(run.append_child(asCode ? "w:instrText" : "w:t"), piece);
          k += piece.size();
        }
        if (special == std::string::npos) break;
        run.append_child(segment[special] == '\t' ? "w:tab" : "w:br");
        k = special + 1;
      }
      story_->Refresh(story_->UnitAt(pos));
      long length = static_cast<long>(CountCodePoints(segment));
      pos += length;
      written += length;
    }
    if (stop == std::string::npos) break;
    story_->SplitParagraph(pos);
    ++pos;
    ++written;
    i = stop + 1;
    if (text[stop] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  return written;
}

long Document::ReplaceText(long start, long end, const std::string& text) {
  CheckRange(start, end);
  bool plain = text.find_first_of("\r\n\t\v") == std::string::npos;
  if (start < end && plain && story_->ReplaceInAtom(start, end, text)) {
    long written = static_cast<long>(CountCodePoints(text));
    NoteEdit(start, end, written);
    return written;
  }
  EnsureComplexIn(start, end);
  FormatCopy format(start < end ? story_->FormatOfFirst(start, end) : story_->FormatAt(start));
  bool asCode = story_->InCodeAt(start);
  RemoveContent(start, end);
  long written = InsertText(start, text, format.node(), asCode);
  NoteEdit(start, start, written);
  return written;
}

FieldPtr Document::AddField(long start, long end, int type, const std::string& text) {
  if (type != host::wdFieldQuote && type != host::wdFieldEmpty) {
    throw host::HostError(host::kErrBadParameter,
                          "field type " + std::to_string(type) + " is not supported");
  }
  CheckRange(start, end);
  EnsureComplexIn(start, end);
  FormatCopy format(start < end ? story_->FormatOfFirst(start, end) : story_->FormatAt(start));
  size_t first = 0;
  size_t removed = RemoveContentLeavingFields(start, end, first);
  // One field replaced by one (a selected field typed over): the new record takes the old
  // one's slot, which is where the new field falls, and the list is not shifted twice.
  bool swap = removed == 1;
  if (removed > 1) fields_.Erase(first, first + removed);
  // Word writes a code with a blank on either side of it; QUOTE shows its text as result.
  std::string code = type == host::wdFieldQuote ? " QUOTE " + text + " " : " " + text + " ";
  std::string result = type == host::wdFieldQuote ? text : std::string();
  size_t index = swap ? first : fields_.LowerBound(start, *story_);
  CutPoint cut = story_->Cut(start);
  auto field = std::make_shared<FieldRecord>();
  field->begin = AddMark(Story::NewRun(cut, format.node()), "begin");
  SetText(Story::NewRun(cut, format.node()).append_child("w:instrText"), code);
  field->separate = AddMark(Story::NewRun(cut, format.node()), "separate");
  if (!result.empty()) SetText(Story::NewRun(cut, format.node()).append_child("w:t"), result);
  field->end = AddMark(Story::NewRun(cut, format.node()), "end");
  story_->Refresh(story_->UnitAt(start));
  if (swap) {
    fields_.Replace(index, field);
  } else {
    fields_.Insert(index, field);
  }
  NoteEdit(start, start, 3 + static_cast<long>(CountCodePoints(code) + CountCodePoints(result)));
  return field;
}

void Document::DeleteField(FieldRecord& field) {
  long begin = fields_.BeginOf(field, *story_);
  long end = fields_.EndOf(field, *story_);
  RemoveContent(begin, end + 1);
}

void Document::SetFieldResult(FieldRecord& field, const std::string& text) {
  long begin = fields_.BeginOf(field, *story_);
  EnsureComplexIn(begin, fields_.EndOf(field, *story_) + 1);
  if (!field.separate) {
    // A field without a separator gets one before its end mark, then the result after it.
    long end = fields_.EndOf(field, *story_);
    FormatCopy format(field.end.parent().child("w:rPr"));
    CutPoint cut = story_->Cut(end);
    field.separate = AddMark(Story::NewRun(cut, format.node()), "separate");
    fields_.RegisterMark(field.separate, field);
    story_->Refresh(story_->UnitAt(end));
    NoteEdit(end, end, 1);
  }
  long start = fields_.SeparatorOf(field, *story_) + 1;
  long end = fields_.EndOf(field, *story_);
  // A result held in one text element (the usual case) takes the new text in place: the same
  // single run in the same formatting, at a fraction of the work.
  if (start < end && text.find_first_of("\r\n\t\v") == std::string::npos &&
      story_->ReplaceInAtom(start, end, text)) {
    NoteEdit(start, end, static_cast<long>(CountCodePoints(text)));
    return;
  }
  FormatCopy format(start < end ? story_->FormatOfFirst(start, end)
                                : field.separate.parent().child("w:rPr"));
  RemoveContent(start, end);
  long written = InsertText(start, text, format.node(), false);
  NoteEdit(start, start, written);
}

void Document::SplitParagraph(long pos) {
  CheckRange(pos, pos);
  EnsureComplexIn(pos, pos);
  story_->SplitParagraph(pos);
  NoteEdit(pos, pos, 1);
}

pugi::xml_node Document::AddTable(long start, long end, long rows, long columns, int behavior,
                                  int autoFit) {
  if (rows < 1 || columns < 1 || rows > 32767 || columns > 63) {
    throw host::HostError(host::kErrBadParameter,
                          "a table needs 1 to 32767 rows and 1 to 63 columns");
  }
  CheckRange(start, end);
  size_t unit = story_->UnitAt(std::min(start, story_->Length() - 1));
  if (story_->KindOf(unit) != UnitKind::kParagraph || !IsW(story_->NodeOf(unit).parent(), "body")) {
    throw host::HostError(host::kErrNotAvailable, "a table cannot be added inside a table");
  }
  RemoveContent(start, end);
  unit = story_->UnitAt(start);
  pugi::xml_node paragraph = story_->NodeOf(unit);
  long offset = start - story_->UnitStart(unit);
  bool empty = story_->UnitLength(unit) == 1;
  bool lastInBody = !paragraph.next_sibling("w:p") && !paragraph.next_sibling("w:tbl");
  bool replace = empty && !lastInBody && !paragraph.child("w:pPr").child("w:sectPr");
  if (!empty && offset > 0) {
    // The table goes between the two halves of the paragraph.
    SplitParagraph(start);
    ++start;
    unit = story_->UnitAt(start);
    paragraph = story_->NodeOf(unit);
  }
  pugi::xml_node body = paragraph.parent();
  unit = story_->UnitOf(paragraph);
  pugi::xml_node table = body.insert_child_before("w:tbl", paragraph);
  pugi::xml_node props = table.append_child("w:tblPr");
  if (behavior == host::wdWord9TableBehavior) {
    std::string styleId = styles().EnsureTableGrid();
    props.append_child("w:tblStyle").append_attribute("w:val") = styleId.c_str();
  }
  pugi::xml_node width = props.append_child("w:tblW");
  width.append_attribute("w:w") = autoFit == host::wdAutoFitWindow ? "5000" : "0";
  width.append_attribute("w:type") = autoFit == host::wdAutoFitWindow ? "pct" : "auto";
  if (behavior != host::wdWord9TableBehavior) {
    pugi::xml_node borders = props.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
      pugi::xml_node b = borders.append_child(side);
      b.append_attribute("w:val") = "single";
      b.append_attribute("w:sz") = "4";
      b.append_attribute("w:space") = "0";
      b.append_attribute("w:color") = "auto";
    }
  }
  if (autoFit == host::wdAutoFitFixed) {
    props.append_child("w:tblLayout").append_attribute("w:type") = "fixed";
  }
  pugi::xml_node look = props.append_child("w:tblLook");
  look.append_attribute("w:val") = "04A0";
  for (auto [name, value] : {std::pair{"w:firstRow", "1"},
                             {"w:lastRow", "0"},
                             {"w:firstColumn", "1"},
                             {"w:lastColumn", "0"},
                             {"w:noHBand", "0"},
                             {"w:noVBand", "1"}}) {
    look.append_attribute(name) = value;
  }
  // The grid shares the text width between the columns.
  pugi::xml_node sect = body.child("w:sectPr");
  long textWidth = sect.child("w:pgSz").attribute("w:w").as_int(11906) -
                   sect.child("w:pgMar").attribute("w:left").as_int(1134) -
                   sect.child("w:pgMar").attribute("w:right").as_int(1134);
  if (textWidth < 720) textWidth = 9638;
  std::string columnWidth = std::to_string(textWidth / columns);
  pugi::xml_node grid = table.append_child("w:tblGrid");
  for (long c = 0; c < columns; ++c) {
    grid.append_child("w:gridCol").append_attribute("w:w") = columnWidth.c_str();
  }
  pugi::xml_node paragraphProps = paragraph.child("w:pPr");
  for (long r = 0; r < rows; ++r) {
    pugi::xml_node row = table.append_child("w:tr");
    for (long c = 0; c < columns; ++c) {
      pugi::xml_node cell = row.append_child("w:tc");
      pugi::xml_node cellWidth = cell.append_child("w:tcPr").append_child("w:tcW");
      bool fixed = autoFit == host::wdAutoFitFixed;
      cellWidth.append_attribute("w:w") = fixed ? columnWidth.c_str() : "0";
      cellWidth.append_attribute("w:type") = fixed ? "dxa" : "auto";
      pugi::xml_node p = cell.append_child("w:p");
      if (paragraphProps) {
        pugi::xml_node copy = p.append_copy(paragraphProps);
        copy.remove_child("w:sectPr");
        copy.remove_child("w:pageBreakBefore");
      }
    }
  }
  story_->InsertUnits(unit, table);
  if (replace) story_->RemoveElement(paragraph);
  long tableLength = rows * (columns + 1);
  NoteEdit(start, start + (replace ? 1 : 0), tableLength);
  selection_->SetRange(start, start);
  return table;
}

void Document::RemoveTable(pugi::xml_node table, long start, long end) {
  size_t first = fields_.LowerBound(start, *story_);
  size_t last = fields_.LowerBound(end, *story_);
  fields_.Erase(first, last);
  story_->RemoveElement(table);
  NoteEdit(start, end, 0);
}

pugi::xml_node Document::AddRow(pugi::xml_node table) {
  pugi::xml_node last;
  for (pugi::xml_node row : table.children("w:tr")) last = row;
  if (!last) throw host::HostError(host::kErrNotAvailable, "the table has no row to copy");
  pugi::xml_node row = table.insert_copy_after(last, last);
  for (pugi::xml_node cell : row.children("w:tc")) {
    pugi::xml_node keep = cell.child("w:p");
    for (pugi::xml_node child = cell.first_child(); child;) {
      pugi::xml_node next = child.next_sibling();
      if (child != keep && !IsW(child, "tcPr")) cell.remove_child(child);
      child = next;
    }
    if (!keep) keep = cell.append_child("w:p");
    for (pugi::xml_node child = keep.first_child(); child;) {
      pugi::xml_node next = child.next_sibling();
      if (!IsW(child, "pPr")) keep.remove_child(child);
      child = next;
    }
  }
  // The new row's units go right after the last row's end.
  size_t lastEnd = story_->UnitOf(last);
  long at = story_->UnitStart(lastEnd) + 1;
  long columns = 0;
  for (pugi::xml_node cell : row.children("w:tc")) columns += cell ? 1 : 0;
  story_->InsertUnits(lastEnd + 1, row);
  NoteEdit(at, at, columns + 1);
  return row.child("w:tc");
}

std::string Document::ToBytes() const {
  std::map<std::string, std::string> parts;
  if (modified_) {
    std::ostringstream out;
    xml_.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    parts[mainPart_] = out.str();
  }
  if (styles_ && styles_->Modified()) {
    parts[stylesPart_] = styles_->Serialize();
    if (!stylesPartExists_) {
      // A new styles part needs its relationship and its content type.
      std::string rels = RelsPartOf(mainPart_);
      pugi::xml_document relsXml;
      std::string relsContent = package_.Has(rels) ? package_.Read(rels) : std::string();
      if (relsContent.empty() || !relsXml.load_buffer(relsContent.data(), relsContent.size())) {
        relsXml.load_string(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>",
            pugi::parse_full);
      }
      pugi::xml_node root = relsXml.child("Relationships");
      std::string id = "rIdQuillonStyles";
      pugi::xml_node rel = root.append_child("Relationship");
      rel.append_attribute("Id") = id.c_str();
      rel.append_attribute("Type") = kStylesType;
      rel.append_attribute("Target") = stylesPart_.substr(Directory(mainPart_).size()).c_str();
      std::ostringstream relsOut;
      relsXml.save(relsOut, "", pugi::format_raw | pugi::format_no_declaration);
      parts[rels] = relsOut.str();
      std::string typesContent =
          package_.Has("[Content_Types].xml") ? package_.Read("[Content_Types].xml") : "";
      pugi::xml_document types;
      if (types.load_buffer(typesContent.data(), typesContent.size(), pugi::parse_full)) {
        pugi::xml_node over = types.child("Types").append_child("Override");
        over.append_attribute("PartName") = ("/" + stylesPart_).c_str();
        over.append_attribute("ContentType") =
            "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
        std::ostringstream typesOut;
        types.save(typesOut, "", pugi::format_raw | pugi::format_no_declaration);
        parts["[Content_Types].xml"] = typesOut.str();
      }
    }
  }
  return package_.Write(parts);
}

void Document::Save(const std::string& path) {
  std::string target = path.empty() ? path_ : path;
  if (target.empty()) throw DocxError("the document has no file name to save to");
  try {
    WriteFileAtomically(target, ToBytes());
  } catch (const FileError& e) {
    throw DocxError(e.what());
  }
  if (path_.empty()) path_ = target;
}

long Document::PageAt(long pos) const {
  return pageSource_ != nullptr ? pageSource_->PageAt(*this, pos) : story_->PageAt(pos);
}

}  // namespace quillon::docx
