#include "hosts/libreoffice/WriterStory.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XFormField.hpp>
#include <com/sun/star/text/XRelativeTextContentRemove.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>

#include <algorithm>

#include "base/Utf8.h"
#include "hosts/libreoffice/WriterCalls.h"

namespace quillon::libreoffice {
namespace {

using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

constexpr const char* kCodeParameter = "vnd.oasis.opendocument.field.code";
constexpr const char* kUnhandledField = "vnd.oasis.opendocument.field.UNHANDLED";

std::u32string Chars(const OUString& text) {
  std::u32string out = DecodeUtf8(ToUtf8(text));
  // Writer's line break reads as Word's.
  std::replace(out.begin(), out.end(), U'\n', U'\v');
  return out;
}

// How many Writer characters a piece takes.
long WriterWidth(const Piece& piece) {
  switch (piece.kind) {
    case PieceKind::kText:
      return static_cast<long>(piece.chars.size());
    case PieceKind::kCode:
      return 0;
    case PieceKind::kDeleted:
      return piece.deleted;
    default:
      return 1;
  }
}

void Append(std::vector<Piece>& pieces, PieceKind kind, std::u32string chars) {
  if (chars.empty()) return;
  if ((kind == PieceKind::kText || kind == PieceKind::kCode) && !pieces.empty() &&
      pieces.back().kind == kind) {
    pieces.back().chars += chars;
    return;
  }
  pieces.push_back({kind, std::move(chars)});
}

char32_t MarkOf(UnitEnd end) {
  return end == UnitEnd::kParagraph ? U'\r' : U'\a';
}

// The code as the routines read it: Writer trims the blanks around a code that Word writes
// on either side of it.
std::string CodeFromWriter(const OUString& code) {
  std::string text = ToUtf8(code);
  if (text.empty() || text.front() != ' ') text.insert(0, " ");
  if (text.size() < 2 || text.back() != ' ') text.push_back(' ');
  return text;
}

OUString CodeForWriter(const std::string& code) {
  std::string_view trimmed = code;
  if (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  if (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  return ToOUString(std::string(trimmed));
}

// getParameters is marked deprecated, yet it is the one way to a fieldmark's code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
Reference<css::container::XNameContainer> ParametersOf(
    const Reference<css::text::XTextContent>& mark) {
  Reference<css::text::XFormField> field(mark, UNO_QUERY_THROW);
  return field->getParameters();
}
#pragma GCC diagnostic pop

// Tracks the fields open during a walk over pieces: whether each shows its code and whether
// the walk is in its code or its result.
class OpenFields {
 public:
  void Begin(bool showsCode) { open_.push_back({showsCode, true}); }
  void Separate() {
    if (!open_.empty()) open_.back().inCode = false;
  }
  void End() {
    if (!open_.empty()) open_.pop_back();
  }
  bool Hidden() const {
    for (const Open& o : open_) {
      if (o.inCode != o.showsCode) return true;
    }
    return false;
  }

 private:
  struct Open {
    bool showsCode;
    bool inCode;
  };
  std::vector<Open> open_;
};

}  // namespace

WriterStory::WriterStory(Reference<css::lang::XComponent> document,
                         Reference<css::text::XText> body, std::shared_ptr<WriterScript> script)
    : document_(std::move(document)), body_(std::move(body)), script_(std::move(script)) {
  Uno("reading the document", [&] { Walk(); });
}

long WriterStory::Length() const {
  return units_.empty() ? 0 : units_.back().start + units_.back().length;
}

void WriterStory::Walk() {
  units_.clear();
  fields_.clear();
  tables_.clear();
  if (!script_ || !WalkInWriter()) {
    units_.clear();
    fields_.clear();
    tables_.clear();
    std::vector<StoryFieldPtr> open;
    WalkText(body_, -1, 0, 0, open);
  }
  if (units_.empty()) {
    StoryUnit unit;
    unit.text = body_;
    unit.paragraph = Reference<css::text::XTextRange>(body_, UNO_QUERY_THROW);
    units_.push_back(std::move(unit));
  }
  Renumber(0);
  // Field positions follow from the units.
  size_t next = 0;
  for (size_t u = 0; u < units_.size() && next < fields_.size(); ++u) {
    long pos = units_[u].start;
    for (const Piece& piece : units_[u].pieces) {
      if (piece.kind == PieceKind::kBegin) {
        fields_[next]->begin = pos;
        fields_[next]->separator = pos + 1;
        fields_[next]->end = pos + 1;
        ++next;
      }
      pos += static_cast<long>(piece.chars.size());
    }
  }
  // Separators and ends: match them to their begins with a stack.
  std::vector<StoryField*> stack;
  size_t begun = 0;
  for (const StoryUnit& unit : units_) {
    long pos = unit.start;
    for (const Piece& piece : unit.pieces) {
      if (piece.kind == PieceKind::kBegin) {
        stack.push_back(fields_[begun++].get());
      } else if (piece.kind == PieceKind::kSeparator && !stack.empty()) {
        stack.back()->separator = pos;
        stack.back()->end = pos + 1;
      } else if (piece.kind == PieceKind::kEnd && !stack.empty()) {
        stack.back()->end = pos;
        stack.pop_back();
      }
      pos += static_cast<long>(piece.chars.size());
    }
  }
  ++generation_;
}

namespace {

// Returns the objects of a sequence Basic handed back (as objects or as values), up to the
// first empty place.
template <typename T>
std::vector<Reference<T>> ObjectsOf(const css::uno::Any& any) {
  std::vector<Reference<T>> objects;
  css::uno::Sequence<css::uno::Any> values;
  css::uno::Sequence<Reference<css::uno::XInterface>> interfaces;
  if (any >>= interfaces) {
    for (const auto& o : interfaces) {
      if (!o.is()) break;
      objects.emplace_back(o, UNO_QUERY_THROW);
    }
  } else if (any >>= values) {
    for (const auto& v : values) {
      Reference<T> o(v, UNO_QUERY);
      if (!o.is()) break;
      objects.push_back(o);
    }
  }
  return objects;
}

std::vector<OUString> StringsOf(const css::uno::Any& any) {
  std::vector<OUString> strings;
  css::uno::Sequence<OUString> texts;
  css::uno::Sequence<css::uno::Any> values;
  if (any >>= texts) {
    strings.assign(texts.begin(), texts.end());
  } else if (any >>= values) {
    for (const auto& v : values) {
      OUString text;
      v >>= text;
      strings.push_back(text);
    }
  }
  return strings;
}

// Reads the records the in-Writer walk writes (WriterScript).
class Records {
 public:
  explicit Records(const OUString& text) : text_(text) {}
  bool More() const { return at_ < text_.getLength(); }
  sal_Unicode Kind() { return text_[at_++]; }
  // A number ended by one of ",;:".
  long Number() {
    long sign = 1;
    if (text_[at_] == '-') {
      sign = -1;
      ++at_;
    }
    long n = 0;
    while (at_ < text_.getLength() && text_[at_] >= '0' && text_[at_] <= '9') {
      n = n * 10 + (text_[at_++] - '0');
    }
    if (at_ < text_.getLength()) ++at_;  // the separator
    return sign * n;
  }
  OUString Counted() {
    long n = Number();
    OUString text = text_.copy(at_, static_cast<sal_Int32>(n));
    at_ += static_cast<sal_Int32>(n);
    return text;
  }

 private:
  const OUString& text_;
  sal_Int32 at_ = 0;
};

}  // namespace

bool WriterStory::WalkInWriter() {
  css::uno::Sequence<css::uno::Any> arguments(1);
  arguments.getArray()[0] <<= document_;
  css::uno::Sequence<css::uno::Any> parts;
  try {
    css::uno::Any answer = script_->Call("Walk", arguments);
    // Basic hands its arrays back as a sequence of sequences when they all hold values.
    css::uno::Sequence<css::uno::Sequence<css::uno::Any>> nested;
    if (answer >>= nested) {
      parts.realloc(nested.getLength());
      for (sal_Int32 i = 0; i < nested.getLength(); ++i) parts.getArray()[i] <<= nested[i];
    } else if (!(answer >>= parts)) {
      return false;
    }
    if (parts.getLength() != 5) return false;
  } catch (const css::uno::Exception&) {
    return false;
  }
  std::vector<OUString> records = StringsOf(parts[0]);
  std::vector<Reference<css::text::XTextRange>> paragraphs =
      ObjectsOf<css::text::XTextRange>(parts[1]);
  std::vector<Reference<css::text::XText>> texts = ObjectsOf<css::text::XText>(parts[2]);
  std::vector<Reference<css::text::XTextContent>> marks =
      ObjectsOf<css::text::XTextContent>(parts[3]);
  std::vector<Reference<css::text::XTextTable>> tables = ObjectsOf<css::text::XTextTable>(parts[4]);
  size_t paragraph = 0, mark = 0;
  for (const OUString& record : records) {
    Records r(record);
    while (r.More()) {
      switch (r.Kind()) {
        case 'P': {
          StoryUnit unit;
          long text = r.Number();
          unit.table = static_cast<int>(r.Number());
          unit.row = static_cast<int>(r.Number());
          unit.column = static_cast<int>(r.Number());
          if (text < 0 || static_cast<size_t>(text) >= texts.size() ||
              paragraph >= paragraphs.size()) {
            return false;
          }
          unit.text = texts[static_cast<size_t>(text)];
          unit.paragraph = paragraphs[paragraph++];
          units_.push_back(std::move(unit));
          break;
        }
        case 'T':
          if (units_.empty()) return false;
          Append(units_.back().pieces, PieceKind::kText, Chars(r.Counted()));
          break;
        case 'D':
          if (units_.empty()) return false;
          // Word counts no position for a tracked deletion; Writer keeps its characters.
          units_.back().pieces.push_back({PieceKind::kDeleted, {}, r.Counted().getLength()});
          break;
        case 'O': {
          if (units_.empty()) return false;
          std::u32string shown = Chars(r.Counted());
          Append(units_.back().pieces, PieceKind::kObject,
                 shown.empty() ? std::u32string(U"\uFFFC") : shown);
          break;
        }
        case 'B': {
          if (units_.empty() || mark >= marks.size()) return false;
          auto field = std::make_shared<StoryField>();
          field->mark = marks[mark++];
          field->code = CodeFromWriter(r.Counted());
          Append(units_.back().pieces, PieceKind::kBegin, U"\x13");
          Append(units_.back().pieces, PieceKind::kCode, DecodeUtf8(field->code));
          fields_.push_back(std::move(field));
          break;
        }
        case 'S':
          if (units_.empty()) return false;
          Append(units_.back().pieces, PieceKind::kSeparator, U"\x14");
          break;
        case 'E':
          if (units_.empty()) return false;
          Append(units_.back().pieces, PieceKind::kEnd, U"\x15");
          break;
        case 'A': {
          if (tables_.size() >= tables.size()) return false;
          StoryTable table;
          table.table = tables[tables_.size()];
          table.name = ToUtf8(r.Counted());
          table.firstUnit = units_.size();
          tables_.push_back(std::move(table));
          break;
        }
        case 'C':
          if (units_.empty()) return false;
          units_.back().end = UnitEnd::kCell;
          break;
        case 'R': {
          StoryUnit rowEnd;
          rowEnd.end = UnitEnd::kRow;
          rowEnd.table = static_cast<int>(r.Number());
          rowEnd.row = static_cast<int>(r.Number());
          rowEnd.column = static_cast<int>(r.Number());
          units_.push_back(std::move(rowEnd));
          break;
        }
        case 'Z': {
          if (tables_.empty()) return false;
          StoryTable& table = tables_.back();
          table.rows = static_cast<int>(r.Number());
          OUString columns = r.Counted();
          for (sal_Int32 from = 0; from <= columns.getLength();) {
            sal_Int32 comma = columns.indexOf(',', from);
            if (comma < 0) comma = columns.getLength();
            table.firstRowColumns.push_back(columns.copy(from, comma - from));
            from = comma + 1;
          }
          table.lastUnit = units_.size() - 1;
          break;
        }
        default:
          return false;
      }
    }
  }
  return paragraph == paragraphs.size() && mark == marks.size();
}

void WriterStory::WalkText(const Reference<css::text::XText>& text, int table, int row, int column,
                           std::vector<StoryFieldPtr>& open) {
  Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY_THROW);
  Reference<css::container::XEnumeration> elements = access->createEnumeration();
  while (elements->hasMoreElements()) {
    Reference<css::lang::XServiceInfo> element(elements->nextElement(), UNO_QUERY_THROW);
    if (element->supportsService("com.sun.star.text.TextTable")) {
      Reference<css::text::XTextTable> textTable(element, UNO_QUERY_THROW);
      // A table inside a cell counts as part of that cell.
      const bool nested = table >= 0;
      int index = table;
      if (!nested) {
        index = static_cast<int>(tables_.size());
        StoryTable entry;
        entry.table = textTable;
        entry.name =
            ToUtf8(Reference<css::container::XNamed>(textTable, UNO_QUERY_THROW)->getName());
        entry.firstUnit = units_.size();
        tables_.push_back(std::move(entry));
      }
      const css::uno::Sequence<OUString> names = textTable->getCellNames();
      // Cell names are a column's letters and a row's number: "A1", "B1", "A2"...
      auto split = [](const OUString& name, OUString& letters) {
        sal_Int32 digit = 0;
        while (digit < name.getLength() && !(name[digit] >= '0' && name[digit] <= '9')) ++digit;
        letters = name.copy(0, digit);
        return name.copy(digit);
      };
      OUString previousRow;
      int rowIndex = 0;
      int columnIndex = 0;
      auto endRow = [&] {
        StoryUnit rowEnd;
        rowEnd.end = UnitEnd::kRow;
        rowEnd.table = index;
        rowEnd.row = nested ? row : rowIndex;
        rowEnd.column = nested ? column : columnIndex;
        units_.push_back(std::move(rowEnd));
      };
      for (sal_Int32 i = 0; i < names.getLength(); ++i) {
        OUString letters;
        OUString cellRow = split(names[i], letters);
        if (i > 0 && cellRow != previousRow) {
          endRow();
          ++rowIndex;
          columnIndex = 0;
        }
        if (!nested && rowIndex == 0)
          tables_[static_cast<size_t>(index)].firstRowColumns.push_back(letters);
        previousRow = cellRow;
        Reference<css::text::XText> cell(textTable->getCellByName(names[i]), UNO_QUERY_THROW);
        size_t first = units_.size();
        int unitRow = nested ? row : rowIndex;
        int unitColumn = nested ? column : columnIndex;
        WalkText(cell, index, unitRow, unitColumn, open);
        if (units_.size() == first) {
          StoryUnit empty;
          empty.text = cell;
          empty.paragraph = Reference<css::text::XTextRange>(cell, UNO_QUERY_THROW);
          empty.table = index;
          units_.push_back(std::move(empty));
        }
        units_.back().end = UnitEnd::kCell;
        units_.back().row = unitRow;
        units_.back().column = unitColumn;
        ++columnIndex;
      }
      endRow();
      if (!nested) {
        tables_[static_cast<size_t>(index)].lastUnit = units_.size() - 1;
        tables_[static_cast<size_t>(index)].rows = rowIndex + 1;
      }
      continue;
    }
    Reference<css::container::XEnumerationAccess> portionsAccess(element, UNO_QUERY);
    if (!portionsAccess.is()) continue;
    StoryUnit unit;
    unit.text = text;
    unit.paragraph = Reference<css::text::XTextRange>(element, UNO_QUERY_THROW);
    unit.table = table;
    unit.row = row;
    unit.column = column;
    Reference<css::container::XEnumeration> portions = portionsAccess->createEnumeration();
    bool inDeletion = false;
    while (portions->hasMoreElements()) {
      Reference<css::beans::XPropertySet> portion(portions->nextElement(), UNO_QUERY_THROW);
      OUString type;
      portion->getPropertyValue("TextPortionType") >>= type;
      if (type == "Text") {
        Reference<css::text::XTextRange> range(portion, UNO_QUERY_THROW);
        if (inDeletion) {
          // Word counts no position for a tracked deletion; Writer keeps its characters.
          unit.pieces.push_back({PieceKind::kDeleted, {}, range->getString().getLength()});
        } else {
          Append(unit.pieces, PieceKind::kText, Chars(range->getString()));
        }
      } else if (type == "Redline") {
        OUString kind;
        bool isStart = false;
        portion->getPropertyValue("RedlineType") >>= kind;
        portion->getPropertyValue("IsStart") >>= isStart;
        if (kind == "Delete") inDeletion = isStart;
      } else if (type == "TextFieldStart") {
        auto field = std::make_shared<StoryField>();
        field->mark.set(portion->getPropertyValue("Bookmark"), UNO_QUERY);
        OUString code;
        try {
          ParametersOf(field->mark)->getByName(OUString::createFromAscii(kCodeParameter)) >>= code;
        } catch (const css::uno::Exception&) {
          // A fieldmark without a code (a form field) reads as an empty one.
        }
        field->code = CodeFromWriter(code);
        Append(unit.pieces, PieceKind::kBegin, U"\x13");
        Append(unit.pieces, PieceKind::kCode, DecodeUtf8(field->code));
        fields_.push_back(field);
        open.push_back(field);
      } else if (type == "TextFieldSeparator") {
        Append(unit.pieces, PieceKind::kSeparator, U"\x14");
      } else if (type == "TextFieldEnd") {
        Append(unit.pieces, PieceKind::kEnd, U"\x15");
        if (!open.empty()) open.pop_back();
      } else if (type == "TextField" || type == "Footnote" || type == "Annotation" ||
                 type == "TextFieldStartEnd") {
        Reference<css::text::XTextRange> range(portion, UNO_QUERY_THROW);
        std::u32string shown = Chars(range->getString());
        Append(unit.pieces, PieceKind::kObject, shown.empty() ? std::u32string(U"\uFFFC") : shown);
      }
      // Bookmarks, reference marks, redlines, soft page breaks and the like take no character.
    }
    units_.push_back(std::move(unit));
  }
}

void WriterStory::Renumber(size_t fromUnit) {
  for (size_t u = fromUnit; u < units_.size(); ++u) {
    StoryUnit& unit = units_[u];
    long length = 1;
    for (const Piece& piece : unit.pieces) length += static_cast<long>(piece.chars.size());
    unit.length = length;
    unit.start = u == 0 ? 0 : units_[u - 1].start + units_[u - 1].length;
  }
}

size_t WriterStory::UnitAt(long pos) const {
  auto after = std::upper_bound(units_.begin(), units_.end(), pos,
                                [](long p, const StoryUnit& unit) { return p < unit.start; });
  if (after == units_.begin()) return 0;
  return static_cast<size_t>(after - units_.begin()) - 1;
}

size_t WriterStory::FieldAtOrAfter(long pos) const {
  auto it = std::lower_bound(fields_.begin(), fields_.end(), pos,
                             [](const StoryFieldPtr& f, long p) { return f->begin < p; });
  return static_cast<size_t>(it - fields_.begin());
}

StoryFieldPtr WriterStory::CodeHolding(long pos) const {
  // The innermost field whose code holds pos is among the few beginning last before it.
  size_t next = FieldAtOrAfter(pos);
  for (size_t i = next; i-- > 0 && next - i <= 8;) {
    const StoryFieldPtr& field = fields_[i];
    if (field->begin < pos && pos <= field->separator) return field;
  }
  return nullptr;
}

std::string WriterStory::ShownText(long start, long end) const {
  std::string out;
  start = std::max(start, 0L);
  end = std::min(end, Length());
  if (start >= end) return out;
  OpenFields open;
  for (size_t u = UnitAt(start); u < units_.size() && units_[u].start < end; ++u) {
    const StoryUnit& unit = units_[u];
    long pos = unit.start;
    for (const Piece& piece : unit.pieces) {
      long ps = pos;
      long pe = pos + static_cast<long>(piece.chars.size());
      pos = pe;
      if (pe <= start) continue;
      if (ps >= end) break;
      switch (piece.kind) {
        case PieceKind::kBegin: {
          size_t f = FieldAtOrAfter(ps);
          open.Begin(f < fields_.size() && fields_[f]->begin == ps && fields_[f]->showCodes);
          continue;
        }
        case PieceKind::kSeparator:
          open.Separate();
          continue;
        case PieceKind::kEnd:
          open.End();
          continue;
        default:
          break;
      }
      if (open.Hidden()) continue;
      size_t from = static_cast<size_t>(std::max(start, ps) - ps);
      size_t to = static_cast<size_t>(std::min(end, pe) - ps);
      out += EncodeUtf8(std::u32string_view(piece.chars).substr(from, to - from));
    }
    long mark = unit.start + unit.length - 1;
    if (mark >= start && mark < end && !open.Hidden()) {
      out += unit.end == UnitEnd::kParagraph ? "\r" : "\r\a";
    }
  }
  return out;
}

void WriterStory::ShownCharacters(long start, long end, std::u32string& text,
                                  std::vector<long>& positions) const {
  start = std::max(start, 0L);
  end = std::min(end, Length());
  if (start >= end) return;
  OpenFields open;
  for (size_t u = UnitAt(start); u < units_.size() && units_[u].start < end; ++u) {
    const StoryUnit& unit = units_[u];
    long pos = unit.start;
    for (const Piece& piece : unit.pieces) {
      long ps = pos;
      pos += static_cast<long>(piece.chars.size());
      if (ps >= end) break;
      if (piece.kind == PieceKind::kBegin) {
        size_t f = FieldAtOrAfter(ps);
        open.Begin(f < fields_.size() && fields_[f]->begin == ps && fields_[f]->showCodes);
        continue;
      }
      if (piece.kind == PieceKind::kSeparator) {
        open.Separate();
        continue;
      }
      if (piece.kind == PieceKind::kEnd) {
        open.End();
        continue;
      }
      if (open.Hidden()) continue;
      for (size_t i = 0; i < piece.chars.size(); ++i) {
        long p = ps + static_cast<long>(i);
        if (p < start || p >= end) continue;
        text += piece.chars[i];
        positions.push_back(p);
      }
    }
    long mark = unit.start + unit.length - 1;
    if (mark >= start && mark < end && !open.Hidden()) {
      text += MarkOf(unit.end);
      positions.push_back(mark);
    }
  }
}

std::string WriterStory::StoryCharacters(long start, long end) const {
  std::u32string out;
  start = std::max(start, 0L);
  end = std::min(end, Length());
  for (size_t u = UnitAt(start); u < units_.size() && units_[u].start < end; ++u) {
    const StoryUnit& unit = units_[u];
    std::u32string all;
    for (const Piece& piece : unit.pieces) all += piece.chars;
    all += MarkOf(unit.end);
    long from = std::max(start - unit.start, 0L);
    long to = std::min(end - unit.start, unit.length);
    if (from < to) out += all.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
  }
  return EncodeUtf8(out);
}

long WriterStory::WriterOffset(const StoryUnit& unit, long offset) const {
  long story = 0;
  long writer = 0;
  for (const Piece& piece : unit.pieces) {
    long length = static_cast<long>(piece.chars.size());
    if (offset < story + length) {
      if (piece.kind == PieceKind::kText) return writer + (offset - story);
      return offset == story ? writer : writer + WriterWidth(piece);
    }
    story += length;
    writer += WriterWidth(piece);
  }
  return writer;
}

std::optional<long> WriterStory::PositionOf(const Reference<css::text::XTextRange>& range) const {
  Flush();
  return Uno("finding a position", [&]() -> std::optional<long> {
    Reference<css::text::XTextRange> at = range->getStart();
    Reference<css::text::XText> text = at->getText();
    Reference<css::text::XTextRangeCompare> compare(text, css::uno::UNO_QUERY);
    if (!compare.is()) return std::nullopt;
    // The last unit of that text that starts at or before the range.
    const StoryUnit* unit = nullptr;
    for (const StoryUnit& candidate : units_) {
      if (!candidate.paragraph.is() || candidate.text != text) continue;
      if (compare->compareRegionStarts(candidate.paragraph, at) < 0) break;
      unit = &candidate;
    }
    if (unit == nullptr) return std::nullopt;
    // The most Writer characters a cursor can step from the unit's start without passing the
    // range: counted the way Cursor() steps, so the two agree.
    long low = 0;
    long high = WriterOffset(*unit, unit->length - 1);
    while (low < high) {
      long mid = (low + high + 1) / 2;
      Reference<css::text::XTextCursor> cursor =
          text->createTextCursorByRange(unit->paragraph->getStart());
      cursor->goRight(static_cast<sal_Int16>(mid), false);
      if (compare->compareRegionStarts(cursor->getStart(), at) >= 0) {
        low = mid;
      } else {
        high = mid - 1;
      }
    }
    long story = 0;
    long writer = 0;
    for (const Piece& piece : unit->pieces) {
      long width = WriterWidth(piece);
      if (low < writer + width) {
        return unit->start + story + (piece.kind == PieceKind::kText ? low - writer : 0);
      }
      story += static_cast<long>(piece.chars.size());
      writer += width;
    }
    return unit->start + story;
  });
}

Reference<css::text::XTextCursor> WriterStory::Cursor(long pos, long end) const {
  Flush();
  size_t u = UnitAt(pos);
  const StoryUnit& unit = units_[u];
  if (unit.end == UnitEnd::kRow || !unit.paragraph.is()) {
    throw host::HostError(host::kErrBadParameter,
                          "position " + std::to_string(pos) + " is a table row's end");
  }
  return Uno("placing a cursor", [&] {
    Reference<css::text::XTextCursor> cursor =
        unit.text->createTextCursorByRange(unit.paragraph->getStart());
    long offset = WriterOffset(unit, pos - unit.start);
    if (offset > 0) cursor->goRight(static_cast<sal_Int16>(offset), false);
    if (end > pos) {
      size_t v = UnitAt(end);
      if (v == u || (end == units_[v].start && v == u + 1)) {
        long to = end >= unit.start + unit.length ? WriterOffset(unit, unit.length - 1) + 1
                                                  : WriterOffset(unit, end - unit.start);
        if (to > offset) cursor->goRight(static_cast<sal_Int16>(to - offset), true);
      } else {
        Reference<css::text::XTextCursor> last = Cursor(end, end);
        cursor->gotoRange(Reference<css::text::XTextRange>(last, UNO_QUERY_THROW), true);
      }
    }
    return cursor;
  });
}

void WriterStory::CheckWhole(long start, long end) const {
  if (start < 0 || end > Length() || start > end) {
    throw host::HostError(host::kErrBadParameter, "the range lies outside the document");
  }
  for (size_t i = 0, n = FieldAtOrAfter(start); i < n; ++i) {
    // A field begun before start and ending inside the stretch is cut.
    const StoryField& field = *fields_[i];
    if (field.end >= start && field.end < end) {
      throw host::HostError(host::kErrBadParameter, "the range cuts a field in two");
    }
  }
  for (size_t i = FieldAtOrAfter(start); i < fields_.size() && fields_[i]->begin < end; ++i) {
    if (fields_[i]->end >= end) {
      throw host::HostError(host::kErrBadParameter, "the range cuts a field in two");
    }
  }
  for (size_t u = UnitAt(start); u < units_.size() && units_[u].start < end; ++u) {
    long mark = units_[u].start + units_[u].length - 1;
    if (mark >= start && mark < end && units_[u].end != UnitEnd::kParagraph) {
      throw host::HostError(host::kErrBadParameter, "the range cuts a table in two");
    }
    if (units_[u].table >= 0 && units_[UnitAt(start)].table != units_[u].table) {
      throw host::HostError(host::kErrBadParameter, "the range cuts a table in two");
    }
  }
}

void WriterStory::SpliceUnit(size_t u, long from, long to, std::vector<Piece> insert) {
  StoryUnit& unit = units_[u];
  std::vector<Piece> pieces;
  long pos = 0;
  bool inserted = false;
  auto put = [&] {
    if (inserted) return;
    for (Piece& piece : insert) Append(pieces, piece.kind, std::move(piece.chars));
    inserted = true;
  };
  for (Piece& piece : unit.pieces) {
    long ps = pos;
    long pe = pos + static_cast<long>(piece.chars.size());
    pos = pe;
    if (piece.kind == PieceKind::kDeleted) {
      // Kept where it stands unless the edit swallows the place it takes.
      if (ps <= from || ps >= to) {
        if (ps >= to && ps > from) put();
        pieces.push_back(std::move(piece));
      }
      continue;
    }
    if (pe <= from) {
      Append(pieces, piece.kind, std::move(piece.chars));
      continue;
    }
    if (ps < from) {
      Append(pieces, piece.kind, piece.chars.substr(0, static_cast<size_t>(from - ps)));
    }
    if (ps >= from) put();
    if (pe > to) {
      put();
      size_t keep = static_cast<size_t>(std::max(to, ps) - ps);
      Append(pieces, piece.kind, piece.chars.substr(keep));
    }
  }
  put();
  unit.pieces = std::move(pieces);
  long length = 1;
  for (const Piece& piece : unit.pieces) length += static_cast<long>(piece.chars.size());
  unit.length = length;
}

void WriterStory::Shift(size_t unit, long from, long delta) {
  ++generation_;
  if (delta == 0) return;
  for (size_t u = unit + 1; u < units_.size(); ++u) units_[u].start += delta;
  for (const StoryFieldPtr& field : fields_) {
    if (field->end < from) continue;
    if (field->begin >= from) field->begin += delta;
    if (field->separator >= from) field->separator += delta;
    field->end += delta;
  }
}

long WriterStory::ReplaceCode(StoryField& field, long start, long end, const std::string& text) {
  std::u32string code = DecodeUtf8(field.code);
  size_t a = static_cast<size_t>(start - field.begin - 1);
  size_t b = static_cast<size_t>(end - field.begin - 1);
  std::u32string written = DecodeUtf8(text);
  code.replace(a, b - a, written);
  std::string newCode = EncodeUtf8(code);
  Uno("writing a field code", [&] {
    ParametersOf(field.mark)
        ->replaceByName(OUString::createFromAscii(kCodeParameter),
                        css::uno::Any(CodeForWriter(newCode)));
  });
  field.code = newCode;
  size_t u = UnitAt(field.begin);
  SpliceUnit(u, start - units_[u].start, end - units_[u].start, {Piece{PieceKind::kCode, written}});
  Shift(u, end, static_cast<long>(written.size()) - (end - start));
  return static_cast<long>(written.size());
}

long WriterStory::Replace(long start, long end, const std::string& text) {
  if (StoryFieldPtr field = CodeHolding(start); field && end <= field->separator) {
    return ReplaceCode(*field, start, end, text);
  }
  CheckWhole(start, end);
  std::u32string written = DecodeUtf8(text);
  size_t u = UnitAt(start);
  const bool oneUnit = end < units_[u].start + units_[u].length;
  const bool plain = text.find_first_of("\r\n\v") == std::string::npos;
  if (script_ && oneUnit && plain) {
    // One call for many rewrites saves a round trip to soffice per call of each.
    const StoryUnit& unit = units_[u];
    long offset = WriterOffset(unit, start - unit.start);
    long to = WriterOffset(unit, end - unit.start);
    pending_.push_back({unit.text, unit.paragraph, offset, to - offset, ToOUString(text)});
  } else {
    Reference<css::text::XTextCursor> cursor = Cursor(start, end);
    Uno("writing text", [&] { cursor->setString(ToOUString(text)); });
  }
  // Fields inside the stretch went with it.
  size_t first = FieldAtOrAfter(start);
  size_t last = first;
  while (last < fields_.size() && fields_[last]->begin < end) fields_[last++]->deleted = true;
  fields_.erase(fields_.begin() + static_cast<long>(first),
                fields_.begin() + static_cast<long>(last));
  if (!oneUnit || !plain) {
    Shift(u, end, static_cast<long>(written.size()) - (end - start));
    Rewalk();
    return static_cast<long>(written.size());
  }
  SpliceUnit(u, start - units_[u].start, end - units_[u].start, {Piece{PieceKind::kText, written}});
  Shift(u, end, static_cast<long>(written.size()) - (end - start));
  return static_cast<long>(written.size());
}

void WriterStory::Flush() const {
  if (pending_.empty()) return;
  std::vector<PendingWrite> writes = std::move(pending_);
  pending_.clear();
  const sal_Int32 n = static_cast<sal_Int32>(writes.size());
  css::uno::Sequence<css::uno::Any> texts(n), paragraphs(n), offsets(n), lengths(n), strings(n);
  for (sal_Int32 i = 0; i < n; ++i) {
    const PendingWrite& write = writes[static_cast<size_t>(i)];
    texts.getArray()[i] <<= write.text;
    paragraphs.getArray()[i] <<= write.paragraph;
    offsets.getArray()[i] <<= static_cast<sal_Int32>(write.offset);
    lengths.getArray()[i] <<= static_cast<sal_Int32>(write.length);
    strings.getArray()[i] <<= write.string;
  }
  css::uno::Sequence<css::uno::Any> arguments(5);
  css::uno::Any* argument = arguments.getArray();
  argument[0] <<= texts;
  argument[1] <<= paragraphs;
  argument[2] <<= offsets;
  argument[3] <<= lengths;
  argument[4] <<= strings;
  OUString failure = Uno("writing text", [&] {
    OUString answer;
    script_->Call("WriteTexts", arguments) >>= answer;
    return answer;
  });
  if (!failure.isEmpty()) {
    throw host::HostError(host::kErrCommandFailed, "writing text: " + ToUtf8(failure));
  }
}

StoryFieldPtr WriterStory::AddField(long start, long end, const std::string& code,
                                    const std::string& result) {
  CheckWhole(start, end);
  if (end > start) Replace(start, end, "");
  size_t u = UnitAt(start);
  Reference<css::text::XTextCursor> cursor = Cursor(start, start);
  auto field = std::make_shared<StoryField>();
  field->code = code;
  Uno("adding a field", [&] {
    Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
    field->mark.set(factory->createInstance("com.sun.star.text.Fieldmark"), UNO_QUERY_THROW);
    units_[u].text->insertTextContent(Reference<css::text::XTextRange>(cursor, UNO_QUERY_THROW),
                                      field->mark, false);
    // The kind and the code are taken only once the mark is in the text.
    Reference<css::text::XFormField> form(field->mark, UNO_QUERY_THROW);
// Marked deprecated, yet the one way to give a new fieldmark its kind.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    form->setFieldType(OUString::createFromAscii(kUnhandledField));
#pragma GCC diagnostic pop
    ParametersOf(field->mark)
        ->insertByName(OUString::createFromAscii(kCodeParameter),
                       css::uno::Any(CodeForWriter(code)));
  });
  std::u32string codeChars = DecodeUtf8(code);
  long codeLength = static_cast<long>(codeChars.size());
  size_t index = FieldAtOrAfter(start);
  long offset = start - units_[u].start;
  SpliceUnit(u, offset, offset,
             {Piece{PieceKind::kBegin, U"\x13"}, Piece{PieceKind::kCode, codeChars},
              Piece{PieceKind::kSeparator, U"\x14"}, Piece{PieceKind::kEnd, U"\x15"}});
  Shift(u, start, 3 + codeLength);
  field->begin = start;
  field->separator = start + 1 + codeLength;
  field->end = field->separator + 1;
  fields_.insert(fields_.begin() + static_cast<long>(index), field);
  if (!result.empty()) Replace(field->separator + 1, field->separator + 1, result);
  return field;
}

void WriterStory::SplitParagraph(long pos) {
  CheckWhole(pos, pos);
  size_t u = UnitAt(pos);
  Reference<css::text::XTextCursor> cursor = Cursor(pos, pos);
  Uno("typing a paragraph", [&] {
    units_[u].text->insertControlCharacter(
        Reference<css::text::XTextRange>(cursor, UNO_QUERY_THROW),
        css::text::ControlCharacter::PARAGRAPH_BREAK, false);
  });
  Shift(u, pos, 1);
  Rewalk();
}

void WriterStory::Rewalk() {
  Flush();
  std::vector<StoryFieldPtr> before = std::move(fields_);
  std::vector<StoryTable> tablesBefore = std::move(tables_);
  Uno("reading the document", [&] { Walk(); });
  for (StoryTable& table : tables_) {
    for (const StoryTable& old : tablesBefore) {
      if (old.name == table.name) {
        table.style = old.style;
        table.fitsContents = old.fitsContents;
      }
    }
  }
  size_t k = 0;
  for (StoryFieldPtr& field : fields_) {
    while (k < before.size() && before[k]->begin < field->begin) before[k++]->deleted = true;
    if (k < before.size() && before[k]->begin == field->begin) {
      StoryFieldPtr kept = before[k++];
      bool showCodes = kept->showCodes;
      *kept = *field;
      kept->showCodes = showCodes;
      field = kept;
    }
  }
  for (; k < before.size(); ++k) before[k]->deleted = true;
}

size_t WriterStory::TableNamed(const std::string& name) const {
  for (size_t t = 0; t < tables_.size(); ++t) {
    if (tables_[t].name == name) return t;
  }
  return tables_.size();
}

size_t WriterStory::AddTable(long pos, long rows, long columns) {
  CheckWhole(pos, pos);
  size_t u = UnitAt(pos);
  if (units_[u].table >= 0) {
    throw host::HostError(host::kErrNotAvailable, "a table cannot be added inside a table");
  }
  // An empty paragraph with another after it gives its place to the table, as in Word.
  const bool replace = units_[u].length == 1 && u + 1 < units_.size();
  std::string name;
  Reference<css::text::XTextCursor> cursor = Cursor(pos, pos);
  Uno("adding a table", [&] {
    Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
    Reference<css::text::XTextTable> table(factory->createInstance("com.sun.star.text.TextTable"),
                                           UNO_QUERY_THROW);
    table->initialize(static_cast<sal_Int32>(rows), static_cast<sal_Int32>(columns));
    Reference<css::text::XTextContent> content(table, UNO_QUERY_THROW);
    body_->insertTextContent(Reference<css::text::XTextRange>(cursor, UNO_QUERY_THROW), content,
                             false);
    if (replace) {
      Reference<css::text::XRelativeTextContentRemove> remove(body_, UNO_QUERY_THROW);
// Marked deprecated, yet the one way to remove the paragraph after a table.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
      remove->removeTextContentAfter(content);
#pragma GCC diagnostic pop
    }
    name = ToUtf8(Reference<css::container::XNamed>(table, UNO_QUERY_THROW)->getName());
  });
  // Writer splits a paragraph the table goes into, as Word does.
  long offset = pos - units_[u].start;
  long added = rows * (columns + 1) + (offset > 0 ? 1 : 0) - (replace ? 1 : 0);
  Shift(u, pos, added);
  Rewalk();
  return TableNamed(name);
}

void WriterStory::AddRow(size_t t) {
  StoryTable& table = tables_[t];
  const long columns = static_cast<long>(table.firstRowColumns.size());
  const int row = table.rows;
  std::vector<StoryUnit> added;
  Uno("adding a table row", [&] {
    table.table->getRows()->insertByIndex(row, 1);
    for (long c = 0; c < columns; ++c) {
      StoryUnit cell;
      cell.end = UnitEnd::kCell;
      OUString name = table.firstRowColumns[static_cast<size_t>(c)] + OUString::number(row + 1);
      cell.text.set(table.table->getCellByName(name), UNO_QUERY_THROW);
      cell.paragraph.set(cell.text, UNO_QUERY_THROW);
      cell.table = static_cast<int>(t);
      cell.row = row;
      cell.column = static_cast<int>(c);
      added.push_back(std::move(cell));
    }
  });
  StoryUnit rowEnd;
  rowEnd.end = UnitEnd::kRow;
  rowEnd.table = static_cast<int>(t);
  rowEnd.row = row;
  rowEnd.column = static_cast<int>(columns);
  added.push_back(std::move(rowEnd));
  const size_t at = table.lastUnit + 1;
  const long pos = units_[table.lastUnit].start + units_[table.lastUnit].length;
  const long length = static_cast<long>(added.size());
  units_.insert(units_.begin() + static_cast<long>(at), added.begin(), added.end());
  table.lastUnit += added.size();
  ++table.rows;
  for (size_t later = t + 1; later < tables_.size(); ++later) {
    tables_[later].firstUnit += added.size();
    tables_[later].lastUnit += added.size();
  }
  Renumber(at);
  // Renumber moved the units; the fields after the row move with them.
  ++generation_;
  for (const StoryFieldPtr& field : fields_) {
    if (field->end < pos) continue;
    if (field->begin >= pos) field->begin += length;
    if (field->separator >= pos) field->separator += length;
    field->end += length;
  }
}

void WriterStory::RemoveTable(size_t t) {
  StoryTable table = tables_[t];
  long start = units_[table.firstUnit].start;
  long end = units_[table.lastUnit].start + units_[table.lastUnit].length;
  Uno("removing a table",
      [&] { Reference<css::lang::XComponent>(table.table, UNO_QUERY_THROW)->dispose(); });
  size_t first = FieldAtOrAfter(start);
  size_t last = first;
  while (last < fields_.size() && fields_[last]->begin < end) fields_[last++]->deleted = true;
  fields_.erase(fields_.begin() + static_cast<long>(first),
                fields_.begin() + static_cast<long>(last));
  Shift(table.lastUnit, end, start - end);
  const size_t removed = table.lastUnit - table.firstUnit + 1;
  units_.erase(units_.begin() + static_cast<long>(table.firstUnit),
               units_.begin() + static_cast<long>(table.lastUnit) + 1);
  tables_.erase(tables_.begin() + static_cast<long>(t));
  for (size_t later = t; later < tables_.size(); ++later) {
    tables_[later].firstUnit -= removed;
    tables_[later].lastUnit -= removed;
  }
  for (StoryUnit& unit : units_) {
    if (unit.table > static_cast<int>(t)) --unit.table;
  }
}

}  // namespace quillon::libreoffice
