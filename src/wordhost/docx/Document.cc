#include "wordhost/docx/Document.h"

#include <algorithm>
#include <future>
#include <optional>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "addin/host/HostError.h"
#include "base/AtomicFile.h"
#include "base/Utf8.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/FieldRuns.h"
#include "wordhost/docx/Fields.h"
#include "wordhost/docx/Paragraphs.h"
#include "wordhost/docx/Range.h"
#include "wordhost/docx/Relationships.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/StoryEdit.h"
#include "wordhost/docx/StoryText.h"
#include "wordhost/docx/TableFit.h"
#include "wordhost/docx/Tables.h"
#include "wordhost/docx/Wml.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

constexpr const char* kMainNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kStylesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";

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
  std::unique_ptr<Document> document(new Document(Package::FromFile(path), path));
  document->Load();
  return document;
}

std::unique_ptr<Document> Document::FromBytes(std::string bytes) {
  std::unique_ptr<Document> document(new Document(Package::FromBytes(std::move(bytes)), ""));
  document->Load();
  return document;
}

void Document::ParseMainPart() {
  Package::UncheckedPart part = package_.ReadUnchecked(mainPart_);
  // A long document's CRC-32 is compared on another core while the XML is parsed. A damaged
  // part is reported as damaged even when it fails to parse too.
  constexpr size_t kCheckBesideFrom = size_t{1} << 20;
  std::future<void> check;
  if (part.content.size() >= kCheckBesideFrom) {
    try {
      check = std::async(std::launch::async, [&] { Package::CheckPart(mainPart_, part); });
    } catch (const std::system_error&) {
      // No thread to spare: checked in turn below.
    }
  }
  if (!check.valid()) Package::CheckPart(mainPart_, part);
  try {
    ParsePart(xml_, mainPart_, part.content, kTextPartParseOptions);
  } catch (...) {
    if (check.valid()) check.get();
    throw;
  }
  if (check.valid()) check.get();
}

void Document::Load() {
  // The main part is the package's officeDocument relationship; Word always names it
  // word/document.xml, which is also the fallback for packages without relationships.
  mainPart_ = RelationshipTarget(package_, "", "/officeDocument");
  if (mainPart_.empty() || !package_.Has(mainPart_)) mainPart_ = "word/document.xml";
  if (!package_.Has(mainPart_)) {
    throw DocxError("not a Word document: the package has no word/document.xml");
  }
  ParseMainPart();
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
  stylesPart_ = RelationshipTarget(package_, mainPart_, kStylesType);
  stylesPartExists_ = !stylesPart_.empty() && package_.Has(stylesPart_);
  if (stylesPart_.empty()) stylesPart_ = PartDirectory(mainPart_) + "styles.xml";
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
    styles_ =
        std::make_unique<Styles>(stylesPart_, stylesPartExists_ ? package_.Read(stylesPart_) : "");
  }
  return *styles_;
}

std::string Document::CodeText(const FieldRecord& field) const {
  long begin = fields_.BeginOf(field, *story_);
  long separator = fields_.SeparatorOf(field, *story_);
  UnitHint hint = fields_.BeginUnit(field, *story_);
  return ShownText(*story_, begin + 1, separator, fields_, &hint);
}

std::string Document::ResultText(const FieldRecord& field) const {
  long separator = fields_.SeparatorOf(field, *story_);
  long end = fields_.EndOf(field, *story_);
  if (separator == end) return {};
  UnitHint hint = fields_.BeginUnit(field, *story_);
  return ShownText(*story_, separator + 1, end, fields_, &hint);
}

void Document::CheckRange(long start, long end) const {
  if (start < 0 || end < start || end > story_->Length()) {
    throw host::HostError(host::kErrBadParameter, "the range " + std::to_string(start) + ".." +
                                                      std::to_string(end) +
                                                      " is outside the document");
  }
}

void Document::CheckEdit(long& start, long& end) const {
  CheckRange(start, end);
  if (start == end && start == story_->Length()) start = end = start - 1;
}

void Document::CheckText(const std::string& text) {
  size_t invalid = FindInvalidUtf8(text);
  if (invalid != std::string::npos) {
    throw host::HostError(host::kErrBadParameter,
                          "the text is not valid UTF-8 (byte " + std::to_string(invalid) + ")");
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
  pugi::xml_node beginRun = StoryEditor::NewRun(cut, format);
  pugi::xml_node begin = AddMark(beginRun, "begin");
  for (const char* flag : {"w:fldLock", "w:dirty"}) {
    if (pugi::xml_attribute a = simple.attribute(flag)) begin.append_copy(a);
  }
  if (pugi::xml_node data = simple.child("w:fldData")) begin.append_move(data);
  pugi::xml_node codeRun = StoryEditor::NewRun(cut, format);
  SetElementText(codeRun.append_child("w:instrText"), simple.attribute("w:instr").value());
  pugi::xml_node separate = AddMark(StoryEditor::NewRun(cut, format), "separate");
  for (pugi::xml_node child = simple.first_child(); child;) {
    pugi::xml_node next = child.next_sibling();
    parent.insert_move_before(child, simple);
    child = next;
  }
  pugi::xml_node end = AddMark(StoryEditor::NewRun(cut, format), "end");
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
  // Part of one stretch of text (a word typed over) is cut out of its element in place.
  StoryEditor editor(*story_);
  if (!editor.EraseInAtom(start, end)) editor.Delete(start, end);
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
      // Text written right after a run (a field's result after its separator) needs no cut,
      // and its atoms join the paragraph's without reading the paragraph again.
      StoryEditor editor(*story_);
      std::optional<RunSlot> slot = editor.SlotAfterRun(pos);
      CutPoint cut = slot ? slot->cut : editor.Cut(pos);
      pugi::xml_node run = StoryEditor::NewRun(cut, format);
      size_t k = 0;
      while (k < segment.size()) {
        size_t special = segment.find_first_of("\t\v", k);
        if (special != k) {
          std::string piece =
              segment.substr(k, special == std::string::npos ? special : special - k);
          SetElementText(run.append_child(asCode ? "w:instrText" : "w:t"), piece);
          k += piece.size();
        }
        if (special == std::string::npos) break;
        run.append_child(segment[special] == '\t' ? "w:tab" : "w:br");
        k = special + 1;
      }
      if (slot) {
        story_->InsertRuns(slot->unit, slot->atom, run, run);
      } else {
        story_->Refresh(story_->UnitAt(pos));
      }
      long length = static_cast<long>(CodePointCount(segment));
      pos += length;
      written += length;
    }
    if (stop == std::string::npos) break;
    StoryEditor(*story_).SplitParagraph(pos);
    ++pos;
    ++written;
    i = stop + 1;
    if (text[stop] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  return written;
}

long Document::ReplaceText(long start, long end, const std::string& text) {
  CheckEdit(start, end);
  CheckText(text);
  bool plain = text.find_first_of("\r\n\t\v") == std::string::npos;
  if (start < end && plain && StoryEditor(*story_).ReplaceInAtom(start, end, text)) {
    long written = static_cast<long>(CodePointCount(text));
    NoteEdit(start, end, written);
    return written;
  }
  EnsureComplexIn(start, end);
  FormatCopy format(start < end ? FormatOfFirst(*story_, start, end) : FormatAt(*story_, start));
  bool asCode = InCodeAt(*story_, start);
  RemoveContent(start, end);
  long written = InsertText(start, text, format.node(), asCode);
  NoteEdit(start, start, written);
  return written;
}

FieldPtr Document::AddField(long start, long end, host::WdFieldType type, const std::string& text) {
  if (type != host::wdFieldQuote && type != host::wdFieldEmpty) {
    throw host::HostError(
        host::kErrBadParameter,
        "field type " + std::to_string(static_cast<int>(type)) + " is not supported");
  }
  CheckEdit(start, end);
  CheckText(text);
  // Word writes a code with a blank on either side of it; QUOTE shows its text as result.
  FieldRunPrototypes prototypes(xml_);
  if (type == host::wdFieldQuote) {
    const std::string code = "QUOTE " + text;
    return WriteField(start, end, prototypes.For(code, text));
  }
  return WriteField(start, end, prototypes.For(text, ""));
}

long Document::AddFields(std::span<const host::NewField> fields) {
  long before = -1;
  bool plainResults = true;
  for (const host::NewField& field : fields) {
    long start = field.start;
    long end = field.end;
    CheckEdit(start, end);
    if (start != field.start || end != field.end || start < before) {
      throw host::HostError(host::kErrBadParameter,
                            "fields to add must lie in the text, in order and apart");
    }
    CheckText(field.code);
    CheckText(field.result);
    plainResults = plainResults && field.result.find_first_of("\r\n\t\v") == std::string::npos;
    before = end;
  }
  if (fields.empty()) return -1;
  // A result that starts a paragraph moves the paragraphs after it: field by field.
  if (!plainResults) return host::Document::AddFields(fields);
  fields_.Reserve(fields.size());
  // Each field's runs and lengths, made once for all the fields with its code and result.
  FieldRunPrototypes prototypes(xml_);
  std::vector<const FieldPrototype*> prototypeOf(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    prototypeOf[i] = &prototypes.For(fields[i].code, fields[i].result);
  }
  auto lengthOf = [&prototypeOf](size_t i) { return prototypeOf[i]->Length(); };
  // Paragraph by paragraph from the end, so that the positions given still hold for the text
  // before each edit: a paragraph whose fields each replace text inside one text element is
  // cut there and measured once; any other takes the fields one by one.
  std::vector<size_t> units(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) units[i] = story_->UnitAt(fields[i].start);
  std::vector<FieldPtr> records(fields.size());
  std::vector<bool> placedAtOnce(fields.size(), false);
  for (size_t last = fields.size(); last > 0;) {
    size_t first = last - 1;
    while (first > 0 && units[first - 1] == units[last - 1]) --first;
    const size_t unit = units[first];
    const long unitStart = story_->UnitStart(unit);
    // The text element (and its offset in the paragraph) each field replaces text of, when
    // one holds it with text left after it. Kept apart from the atoms, which Touch drops.
    const std::vector<Atom>& atoms = story_->Atoms(unit);
    std::vector<std::pair<pugi::xml_node, uint32_t>> inside(last - first);
    bool atOnce = true;
    for (size_t i = first; i < last && atOnce; ++i) {
      const long from = fields[i].start - unitStart;
      const long to = fields[i].end - unitStart;
      auto holder = std::upper_bound(atoms.begin(), atoms.end(), from,
                                     [](long pos, const Atom& atom) { return pos < atom.offset; });
      if (from < to && holder != atoms.begin()) {
        const Atom& atom = *(holder - 1);
        if (atom.kind == AtomKind::kText && to < static_cast<long>(atom.offset + atom.length)) {
          inside[i - first] = {atom.node, atom.offset};
          continue;
        }
      }
      atOnce = false;
    }
    if (atOnce) {
      // Fields after the paragraph's page events move none of them: the paragraph is not
      // measured again.
      const bool eventsStay =
          story_->EventsSettledBefore(unit, static_cast<uint32_t>(fields[first].start - unitStart));
      if (!eventsStay) story_->Touch(unit);
      long grown = 0;
      for (size_t i = last; i-- > first;) {
        const auto [text, offset] = inside[i - first];
        const pugi::xml_node format = text.parent().child("w:rPr");
        CutPoint cut = StoryEditor::CutOutOfText(
            text, static_cast<uint32_t>(fields[i].start - unitStart - offset),
            static_cast<uint32_t>(fields[i].end - unitStart - offset));
        FieldRuns runs = AppendFieldRuns(cut, format, *prototypeOf[i]);
        auto record = std::make_shared<FieldRecord>();
        record->begin = runs.begin;
        record->separate = runs.separate;
        record->end = runs.end;
        records[i] = std::move(record);
        placedAtOnce[i] = true;
        NoteEdit(fields[i].start, fields[i].end, lengthOf(i));
        grown += lengthOf(i) - (fields[i].end - fields[i].start);
      }
      if (eventsStay) {
        story_->Grow(unit, grown);
      } else {
        story_->Refresh(unit);
      }
    } else {
      for (size_t i = last; i-- > first;) {
        records[i] = WriteField(fields[i].start, fields[i].end, *prototypeOf[i]);
      }
    }
    last = first;
  }
  // Every field's positions follow from those given and the lengths of the fields before it.
  std::vector<FieldPtr> fresh;
  fresh.reserve(fields.size());
  long shift = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    const long begin = fields[i].start + shift;
    shift += lengthOf(i) - (fields[i].end - fields[i].start);
    if (!placedAtOnce[i]) continue;
    FieldRecord& record = *records[i];
    record.cachedBegin = begin;
    record.cachedSeparator = begin + 1 + prototypeOf[i]->codeLength;
    record.cachedEnd = record.cachedSeparator + 1 + prototypeOf[i]->resultLength;
    record.cachedUnit = {units[i], story_->UnitStart(units[i])};
    record.unitGuess = units[i];
    record.cachedGeneration = story_->Generation();
    fresh.push_back(std::move(records[i]));
  }
  fields_.Merge(std::move(fresh), *story_);
  return fields.back().end + shift;
}

FieldPtr Document::WriteField(long start, long end, const FieldPrototype& prototype) {
  EnsureComplexIn(start, end);
  FormatCopy format(start < end ? FormatOfFirst(*story_, start, end) : FormatAt(*story_, start));
  size_t first = 0;
  size_t removed = RemoveContentLeavingFields(start, end, first);
  // One field replaced by one (a selected field typed over): the new record takes the old
  // one's slot, which is where the new field falls, and the list is not shifted twice.
  bool swap = removed == 1;
  if (removed > 1) fields_.Erase(first, first + removed);
  size_t index = swap ? first : fields_.LowerBound(start, *story_);
  // A field starting where a run starts (an abbreviation in a run of its own) goes in right
  // after the run before it: no cut, and its atoms join the paragraph's in place.
  StoryEditor editor(*story_);
  std::optional<RunSlot> slot = editor.SlotAfterRun(start);
  CutPoint cut = slot ? slot->cut : editor.Cut(start);
  auto field = std::make_shared<FieldRecord>();
  FieldRuns runs = AppendFieldRuns(cut, format.node(), prototype);
  field->begin = runs.begin;
  field->separate = runs.separate;
  field->end = runs.end;
  if (slot) {
    story_->InsertRuns(slot->unit, slot->atom, runs.firstRun, runs.lastRun);
  } else {
    story_->Refresh(story_->UnitAt(start));
  }
  // Where the marks went is known: the record starts with its positions, and writing the
  // result next needs no look-up.
  const size_t unit = story_->UnitAt(start);
  field->cachedBegin = start;
  field->cachedSeparator = start + 1 + prototype.codeLength;
  field->cachedEnd = field->cachedSeparator + 1 + prototype.resultLength;
  field->cachedUnit = {unit, story_->UnitStart(unit)};
  field->unitGuess = unit;
  field->cachedGeneration = story_->Generation();
  if (swap) {
    fields_.Replace(index, field);
  } else {
    fields_.Insert(index, field);
  }
  NoteEdit(start, start, prototype.Length());
  return field;
}

void Document::DeleteField(FieldRecord& field) {
  long begin = fields_.BeginOf(field, *story_);
  long end = fields_.EndOf(field, *story_);
  RemoveContent(begin, end + 1);
}

void Document::SetFieldResult(FieldRecord& field, const std::string& text) {
  CheckText(text);
  long begin = fields_.BeginOf(field, *story_);
  EnsureComplexIn(begin, fields_.EndOf(field, *story_) + 1);
  if (!field.separate) {
    // A field without a separator gets one before its end mark, then the result after it.
    long end = fields_.EndOf(field, *story_);
    FormatCopy format(field.end.parent().child("w:rPr"));
    CutPoint cut = StoryEditor(*story_).Cut(end);
    field.separate = AddMark(StoryEditor::NewRun(cut, format.node()), "separate");
    fields_.RegisterMark(field.separate, field);
    story_->Refresh(story_->UnitAt(end));
    NoteEdit(end, end, 1);
  }
  long start = fields_.SeparatorOf(field, *story_) + 1;
  long end = fields_.EndOf(field, *story_);
  // A result held in one text element (the usual case) takes the new text in place: the same
  // single run in the same formatting, at a fraction of the work.
  if (start < end && text.find_first_of("\r\n\t\v") == std::string::npos &&
      StoryEditor(*story_).ReplaceInAtom(start, end, text)) {
    NoteEdit(start, end, static_cast<long>(CodePointCount(text)));
    return;
  }
  FormatCopy format(start < end ? FormatOfFirst(*story_, start, end)
                                : field.separate.parent().child("w:rPr"));
  RemoveContent(start, end);
  long written = InsertText(start, text, format.node(), false);
  NoteEdit(start, start, written);
}

void Document::SplitParagraph(long pos) {
  long end = pos;
  CheckEdit(pos, end);
  EnsureComplexIn(pos, pos);
  StoryEditor(*story_).SplitParagraph(pos);
  NoteEdit(pos, pos, 1);
}

std::string Document::ToBytes() const {
  std::map<std::string, DeflatedPart> parts;
  if (modified_) {
    // The widths of tables fitting their contents follow the text they hold now. They are
    // derived data, like a cache: refreshing them changes no text and no position.
    // A document without a styles part measures with the defaults and still gets none.
    std::unique_ptr<Styles> defaults;
    if (!styles_ && !stylesPartExists_) defaults = std::make_unique<Styles>(stylesPart_, "");
    FitContentTables(xml_.document_element().child("w:body"), defaults ? *defaults : styles());
    parts[mainPart_] = SerializeDeflated(xml_);
  }
  if (styles_ && styles_->Modified()) {
    parts[stylesPart_] = styles_->Serialize();
    if (!stylesPartExists_) {
      // A new styles part needs its relationship and its content type.
      RelateNewPart(package_, mainPart_, stylesPart_, "rIdQuillonStyles", kStylesType,
                    "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml",
                    parts);
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
