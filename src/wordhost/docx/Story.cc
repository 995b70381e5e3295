#include "wordhost/docx/Story.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "addin/host/HostError.h"
#include "base/Utf8.h"

namespace quillon::docx {
namespace {

constexpr uint8_t kExplicitBreak = 0;
constexpr uint8_t kRenderedBreak = 1;
constexpr uint8_t kVisible = 2;

bool IsOn(pugi::xml_node flag) {
  if (!flag) return false;
  std::string_view value = flag.attribute("w:val").value();
  return value != "0" && value != "false" && value != "off";
}

bool IsRunBased(AtomKind kind) {
  return kind == AtomKind::kText || kind == AtomKind::kCode || kind == AtomKind::kChar ||
         kind == AtomKind::kBegin || kind == AtomKind::kSeparate || kind == AtomKind::kEnd;
}

bool IsSimple(AtomKind kind) {
  return kind == AtomKind::kSimpleBegin || kind == AtomKind::kSimpleCode ||
         kind == AtomKind::kSimpleSeparate || kind == AtomKind::kSimpleEnd;
}

// Containers inside a paragraph whose runs belong to the paragraph's text.
bool IsInlineContainer(pugi::xml_node node) {
  return IsW(node, "hyperlink") || IsW(node, "smartTag") || IsW(node, "customXml") ||
         IsW(node, "ins") || IsW(node, "moveTo") || IsW(node, "sdt") || IsW(node, "sdtContent") ||
         IsW(node, "dir") || IsW(node, "bdo");
}

void SetElementText(pugi::xml_node element, const std::string& text) {
  element.text().set(text.c_str());
  bool edgeSpace = !text.empty() && (text.front() == ' ' || text.back() == ' ' ||
                                     text.front() == '\t' || text.back() == '\t');
  pugi::xml_attribute space = element.attribute("xml:space");
  if (edgeSpace && !space) element.append_attribute("xml:space") = "preserve";
}

pugi::xml_node FirstElement(pugi::xml_node node) {
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) return child;
  }
  return {};
}

pugi::xml_node NextElement(pugi::xml_node node) {
  for (pugi::xml_node n = node.next_sibling(); n; n = n.next_sibling()) {
    if (n.type() == pugi::node_element) return n;
  }
  return {};
}

pugi::xml_node PreviousElement(pugi::xml_node node) {
  for (pugi::xml_node n = node.previous_sibling(); n; n = n.previous_sibling()) {
    if (n.type() == pugi::node_element) return n;
  }
  return {};
}

// Moves child and every sibling after it into a new run placed after run, with a copy of the
// run's attributes and properties. Returns the new run.
pugi::xml_node SplitRunBefore(pugi::xml_node run, pugi::xml_node child) {
  pugi::xml_node newRun = run.parent().insert_child_after("w:r", run);
  for (pugi::xml_attribute a : run.attributes()) newRun.append_copy(a);
  if (pugi::xml_node props = run.child("w:rPr")) newRun.append_copy(props);
  for (pugi::xml_node n = child; n;) {
    pugi::xml_node next = n.next_sibling();
    newRun.append_move(n);
    n = next;
  }
  return newRun;
}

// Removes node when nothing but properties is left in it, then its emptied inline containers.
void RemoveIfEmpty(pugi::xml_node node) {
  while (node && (IsW(node, "r") || IsInlineContainer(node))) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (child.type() == pugi::node_element && !IsW(child, "rPr")) return;
    }
    pugi::xml_node parent = node.parent();
    parent.remove_child(node);
    node = parent;
  }
}

pugi::xml_node NearestAncestor(pugi::xml_node node, const char* local) {
  for (pugi::xml_node n = node.parent(); n; n = n.parent()) {
    if (IsW(n, local)) return n;
  }
  return {};
}

template <typename Fn>
void ForEachThroughWrappers(pugi::xml_node container, const char* local, Fn&& fn) {
  for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    if (IsW(child, local)) {
      fn(child);
    } else if (IsW(child, "sdt")) {
      ForEachThroughWrappers(child.child("w:sdtContent"), local, fn);
    } else if (IsW(child, "customXml")) {
      ForEachThroughWrappers(child, local, fn);
    }
  }
}

class AtomBuilder {
 public:
  AtomBuilder(std::vector<Atom>& atoms, std::vector<Story::PageEvent>* events)
      : atoms_(atoms), events_(events) {}

  void Container(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (child.type() != pugi::node_element) continue;
      if (IsW(child, "r")) {
        Run(child);
      } else if (IsW(child, "fldSimple")) {
        Add(child, AtomKind::kSimpleBegin, 1);
        uint32_t codeLength =
            static_cast<uint32_t>(CodePointCount(child.attribute("w:instr").value()));
        if (codeLength > 0) Add(child, AtomKind::kSimpleCode, codeLength);
        Add(child, AtomKind::kSimpleSeparate, 1);
        Container(child);
        Add(child, AtomKind::kSimpleEnd, 1);
      } else if (IsInlineContainer(child)) {
        Container(child);
      }
    }
  }

  void Event(uint32_t offset, uint8_t kind) {
    if (events_ == nullptr) return;
    events_->push_back({offset, kind});
    needVisible_ = kind != kVisible;
  }

  uint32_t offset() const { return offset_; }

 private:
  void Add(pugi::xml_node node, AtomKind kind, uint32_t length, char32_t ch = 0) {
    atoms_.push_back({node, offset_, length, kind, ch});
    offset_ += length;
  }
  void Visible() {
    if (needVisible_) Event(offset_, kVisible);
  }

  void Run(pugi::xml_node run) {
    for (pugi::xml_node child = run.first_child(); child; child = child.next_sibling()) {
      if (child.type() != pugi::node_element) continue;
      const char* name = child.name();
      if (name[0] == 'w' && name[1] == ':') {
        std::string_view local(name + 2);
        if (local == "t") {
          uint32_t n = static_cast<uint32_t>(CodePointCount(child.child_value()));
          if (n > 0) {
            Visible();
            Add(child, AtomKind::kText, n);
          }
        } else if (local == "instrText") {
          uint32_t n = static_cast<uint32_t>(CodePointCount(child.child_value()));
          if (n > 0) Add(child, AtomKind::kCode, n);
        } else if (local == "tab" || local == "ptab") {
          Visible();
          Add(child, AtomKind::kChar, 1, U'\t');
        } else if (local == "br") {
          std::string_view type = child.attribute("w:type").value();
          Visible();
          if (type == "page") {
            Add(child, AtomKind::kChar, 1, U'\f');
            Event(offset_, kExplicitBreak);
          } else {
            Add(child, AtomKind::kChar, 1, type == "column" ? U'\x0E' : U'\v');
          }
        } else if (local == "cr") {
          Visible();
          Add(child, AtomKind::kChar, 1, U'\v');
        } else if (local == "noBreakHyphen") {
          Visible();
          Add(child, AtomKind::kChar, 1, U'\u2011');
        } else if (local == "softHyphen") {
          Add(child, AtomKind::kChar, 1, U'\u00AD');
        } else if (local == "sym") {
          Visible();
          char32_t c =
              static_cast<char32_t>(std::strtoul(child.attribute("w:char").value(), nullptr, 16));
          Add(child, AtomKind::kChar, 1, c == 0 ? U'\uFFFD' : c);
        } else if (local == "drawing" || local == "pict" || local == "object" ||
                   local == "footnoteReference" || local == "endnoteReference" || local == "ruby") {
          Visible();
          Add(child, AtomKind::kChar, 1, 0);
        } else if (local == "fldChar") {
          std::string_view type = child.attribute("w:fldCharType").value();
          if (type == "begin") {
            Add(child, AtomKind::kBegin, 1);
          } else if (type == "separate") {
            Add(child, AtomKind::kSeparate, 1);
          } else if (type == "end") {
            Add(child, AtomKind::kEnd, 1);
          }
        } else if (local == "lastRenderedPageBreak") {
          Event(offset_, kRenderedBreak);
        }
      } else if (std::string_view(name) == "mc:AlternateContent") {
        Visible();
        Add(child, AtomKind::kChar, 1, 0);
      }
    }
  }

  std::vector<Atom>& atoms_;
  std::vector<Story::PageEvent>* events_;
  uint32_t offset_ = 0;
  bool needVisible_ = true;
};

}  // namespace

Story::Story(pugi::xml_node body) : body_(body) {
  Rebuild();
}

void Story::ComputeAtoms(const Unit& unit, std::vector<Atom>& atoms,
                         std::vector<PageEvent>* events) const {
  atoms.clear();
  if (events != nullptr) events->clear();
  AtomBuilder builder(atoms, events);
  if (unit.kind != UnitKind::kRowEnd && IsW(unit.node, "p")) {
    if (IsOn(unit.node.child("w:pPr").child("w:pageBreakBefore"))) {
      builder.Event(0, kExplicitBreak);
    }
    builder.Container(unit.node);
  }
  atoms.push_back({unit.node, builder.offset(), 1, AtomKind::kMark,
                   unit.kind == UnitKind::kParagraph ? U'\r' : U'\a'});
}

void Story::Measure(Unit& unit) const {
  ComputeAtoms(unit, unit.atoms, &unit.events);
  unit.atomsValid = true;
  unit.length = static_cast<long>(unit.atoms.back().offset) + 1;
}

bool Story::ComputeBoundaries(Unit& unit) const {
  unit.boundaries.clear();
  bool pending = unit.pendingIn;
  if (unit.startsSection) {
    if (!pending) unit.boundaries.push_back(0);
    pending = true;
  }
  for (const PageEvent& event : unit.events) {
    if (event.kind == kExplicitBreak) {
      unit.boundaries.push_back(event.offset);
      pending = true;
    } else if (event.kind == kRenderedBreak) {
      // Word writes a rendered break where the page it just broke for begins: the same
      // boundary as the explicit break before it, unless text came in between.
      if (pending) {
        pending = false;
      } else {
        unit.boundaries.push_back(event.offset);
      }
    } else {
      pending = false;
    }
  }
  return pending;
}

void Story::CollectUnits(pugi::xml_node container, std::vector<Unit>& out) {
  for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) CollectElement(child, out);
  }
}

void Story::CollectElement(pugi::xml_node element, std::vector<Unit>& out) {
  if (IsW(element, "p")) {
    Unit unit;
    unit.node = element;
    out.push_back(std::move(unit));
  } else if (IsW(element, "tbl")) {
    ForEachThroughWrappers(element, "tr", [&](pugi::xml_node row) { CollectRow(row, out); });
  } else if (IsW(element, "tr")) {
    CollectRow(element, out);
  } else if (IsW(element, "sdt")) {
    CollectUnits(element.child("w:sdtContent"), out);
  } else if (IsW(element, "customXml")) {
    CollectUnits(element, out);
  }
}

void Story::CollectRow(pugi::xml_node row, std::vector<Unit>& out) {
  ForEachThroughWrappers(row, "tc", [&](pugi::xml_node cell) {
    size_t first = out.size();
    CollectUnits(cell, out);
    size_t last = out.size();
    for (size_t i = out.size(); i > first; --i) {
      const Unit& candidate = out[i - 1];
      if (candidate.kind == UnitKind::kParagraph && NearestAncestor(candidate.node, "tc") == cell) {
        last = i - 1;
        break;
      }
    }
    if (last == out.size()) {
      // A cell without a paragraph is invalid, but its end mark still counts.
      Unit unit;
      unit.node = cell;
      unit.kind = UnitKind::kCellEnd;
      out.push_back(std::move(unit));
    } else {
      out[last].kind = UnitKind::kCellEnd;
    }
  });
  Unit end;
  end.node = row;
  end.kind = UnitKind::kRowEnd;
  out.push_back(std::move(end));
}

void Story::MarkSections() {
  auto startsNewPage = [](pugi::xml_node sectPr) {
    std::string_view type = sectPr.child("w:type").attribute("w:val").value();
    return type.empty() || type == "nextPage" || type == "evenPage" || type == "oddPage";
  };
  size_t previousEnd = units_.size();
  for (size_t i = 0; i < units_.size(); ++i) {
    units_[i].startsSection = false;
    if (units_[i].kind != UnitKind::kParagraph) continue;
    pugi::xml_node sectPr = units_[i].node.child("w:pPr").child("w:sectPr");
    if (!sectPr) continue;
    if (previousEnd + 1 < units_.size() && startsNewPage(sectPr)) {
      units_[previousEnd + 1].startsSection = true;
    }
    previousEnd = i;
  }
  if (previousEnd + 1 < units_.size() && startsNewPage(body_.child("w:sectPr"))) {
    units_[previousEnd + 1].startsSection = true;
  }
}

void Story::Rebuild() {
  ++generation_;
  startsValid_ = false;
  treeLookups_ = 0;
  std::unordered_map<pugi::xml_node_struct*, Unit> old;
  old.reserve(units_.size());
  for (Unit& unit : units_) {
    if (!dirty_.count(unit.node.internal_object())) {
      old.emplace(unit.node.internal_object(), std::move(unit));
    }
  }
  dirty_.clear();
  std::vector<Unit> fresh;
  fresh.reserve(units_.size() + 8);
  CollectUnits(body_, fresh);
  if (fresh.empty() || fresh.back().kind != UnitKind::kParagraph) {
    // The story always ends with a paragraph mark; a body without a final paragraph gets one
    // (before the section properties) so positions stay well defined.
    pugi::xml_node sectPr = body_.child("w:sectPr");
    Unit unit;
    unit.node = sectPr ? body_.insert_child_before("w:p", sectPr) : body_.append_child("w:p");
    fresh.push_back(std::move(unit));
  }
  units_ = std::move(fresh);
  index_.clear();
  index_.reserve(units_.size() * 2);
  ids_.resize(units_.size());
  paragraphs_.clear();
  std::vector<long> lengths(units_.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    Unit& unit = units_[i];
    auto it = old.find(unit.node.internal_object());
    if (it != old.end() && it->second.kind == unit.kind) {
      unit.length = it->second.length;
      unit.events = std::move(it->second.events);
      unit.atoms = std::move(it->second.atoms);
      unit.atomsValid = it->second.atomsValid;
    } else {
      Measure(unit);
    }
    unit.id = static_cast<uint32_t>(i);
    ids_[i] = i;
    index_.emplace(unit.node.internal_object(), unit.id);
    if (unit.kind != UnitKind::kRowEnd) paragraphs_.push_back(i);
    lengths[i] = unit.length;
  }
  lengths_.Assign(lengths);
  MarkSections();
  bool pending = false;
  std::vector<long> counts(units_.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    units_[i].pendingIn = pending;
    pending = ComputeBoundaries(units_[i]);
    counts[i] = static_cast<long>(units_[i].boundaries.size());
  }
  pages_.Assign(counts);
}

bool Story::Splice(size_t first, size_t count, std::vector<Unit>& fresh) {
  auto breaksSection = [](const Unit& unit) {
    return unit.kind == UnitKind::kParagraph && unit.node.child("w:pPr").child("w:sectPr");
  };
  // The last unit is the story's final paragraph mark, which a splice must leave in place.
  if (!dirty_.empty() || first + count >= units_.size()) return false;
  for (size_t i = first; i < first + count; ++i) {
    if (breaksSection(units_[i])) return false;
  }
  for (const Unit& unit : fresh) {
    if (breaksSection(unit)) return false;
  }
  ++generation_;
  startsValid_ = false;
  treeLookups_ = 0;
  // Without section breaks among the units, the sections keep their ends: only the unit that
  // starts a section can change, from the first replaced unit to what now stands there.
  bool pending = units_[first].pendingIn;
  bool startsSection = units_[first].startsSection;
  units_[first].startsSection = false;
  for (size_t i = first; i < first + count; ++i) index_.erase(units_[i].node.internal_object());
  for (Unit& unit : fresh) {
    Measure(unit);
    unit.id = static_cast<uint32_t>(ids_.size());
    ids_.push_back(0);
    index_.emplace(unit.node.internal_object(), unit.id);
  }
  size_t common = std::min(count, fresh.size());
  std::move(fresh.begin(), fresh.begin() + static_cast<long>(common),
            units_.begin() + static_cast<long>(first));
  if (count > common) {
    units_.erase(units_.begin() + static_cast<long>(first + common),
                 units_.begin() + static_cast<long>(first + count));
  } else {
    units_.insert(units_.begin() + static_cast<long>(first + common),
                  std::make_move_iterator(fresh.begin() + static_cast<long>(common)),
                  std::make_move_iterator(fresh.end()));
  }
  units_[first].startsSection = startsSection;
  // Page boundaries: the new units and the one after them, then on while a pending page
  // break carries over differently than before.
  size_t settled = first + fresh.size();
  for (size_t i = first; i < units_.size(); ++i) {
    if (i > settled && units_[i].pendingIn == pending) break;
    units_[i].pendingIn = pending;
    pending = ComputeBoundaries(units_[i]);
  }
  std::vector<long> lengths(units_.size());
  std::vector<long> counts(units_.size());
  for (size_t i = 0; i < units_.size(); ++i) {
    lengths[i] = units_[i].length;
    counts[i] = static_cast<long>(units_[i].boundaries.size());
  }
  lengths_.Assign(lengths);
  pages_.Assign(counts);
  auto firstParagraph = std::lower_bound(paragraphs_.begin(), paragraphs_.end(), first);
  paragraphs_.erase(firstParagraph, paragraphs_.end());
  for (size_t i = first; i < units_.size(); ++i) {
    ids_[units_[i].id] = i;
    if (units_[i].kind != UnitKind::kRowEnd) paragraphs_.push_back(i);
  }
  return true;
}

void Story::InsertUnits(size_t at, pugi::xml_node element) {
  std::vector<Unit> fresh;
  CollectElement(element, fresh);
  if (fresh.empty()) {
    ++generation_;
    return;
  }
  if (!Splice(at, 0, fresh)) Rebuild();
}

void Story::RemoveElement(pugi::xml_node element) {
  std::vector<Unit> gone;
  CollectElement(element, gone);
  size_t first = gone.empty() ? units_.size() : UnitOf(gone.front().node);
  bool found = first + gone.size() <= units_.size();
  for (size_t i = 0; found && i < gone.size(); ++i) found = units_[first + i].node == gone[i].node;
  std::vector<Unit> none;
  bool spliced = found && Splice(first, gone.size(), none);
  element.parent().remove_child(element);
  if (gone.empty()) {
    ++generation_;
  } else if (!spliced) {
    Rebuild();
  }
}

void Story::Refresh(size_t index) {
  ++generation_;
  startsValid_ = false;
  treeLookups_ = 0;
  Unit& unit = units_[index];
  long oldLength = unit.length;
  long oldPages = static_cast<long>(unit.boundaries.size());
  Measure(unit);
  if (unit.length != oldLength) lengths_.Add(index, unit.length - oldLength);
  bool pending = ComputeBoundaries(unit);
  pages_.Add(index, static_cast<long>(unit.boundaries.size()) - oldPages);
  for (size_t i = index + 1; i < units_.size() && units_[i].pendingIn != pending; ++i) {
    Unit& next = units_[i];
    long before = static_cast<long>(next.boundaries.size());
    next.pendingIn = pending;
    pending = ComputeBoundaries(next);
    pages_.Add(i, static_cast<long>(next.boundaries.size()) - before);
  }
}

long Story::UnitStart(size_t unit) const {
  if (!startsValid_) {
    if (++treeLookups_ < std::max<size_t>(64, units_.size() / 8)) return lengths_.Prefix(unit);
    starts_.resize(units_.size() + 1);
    long sum = 0;
    for (size_t i = 0; i < units_.size(); ++i) {
      starts_[i] = sum;
      sum += units_[i].length;
    }
    starts_[units_.size()] = sum;
    startsValid_ = true;
  }
  return starts_[unit];
}

size_t Story::UnitAt(long pos) const {
  if (!startsValid_) return lengths_.Find(pos);
  auto it = std::upper_bound(starts_.begin(), starts_.end() - 1, pos);
  return static_cast<size_t>(it - starts_.begin()) - 1;
}

size_t Story::UnitOf(pugi::xml_node node) const {
  for (pugi::xml_node n = node; n; n = n.parent()) {
    auto it = index_.find(n.internal_object());
    if (it != index_.end()) return ids_[it->second];
  }
  return units_.size();
}

const std::vector<Atom>& Story::Atoms(size_t index) const {
  const Unit& unit = units_[index];
  if (!unit.atomsValid) {
    ComputeAtoms(unit, unit.atoms, nullptr);
    unit.atomsValid = true;
  }
  return unit.atoms;
}

long Story::PositionOf(pugi::xml_node node, AtomKind kind) const {
  size_t unit = UnitOf(node);
  if (unit == units_.size()) return -1;
  for (const Atom& atom : Atoms(unit)) {
    if (atom.node == node && atom.kind == kind) return UnitStart(unit) + atom.offset;
  }
  return -1;
}

long Story::PageAt(long pos) const {
  if (units_.empty()) return 1;
  pos = std::clamp(pos, 0L, Length() - 1);
  size_t unit = UnitAt(pos);
  uint32_t offset = static_cast<uint32_t>(pos - UnitStart(unit));
  long count = pages_.Prefix(unit);
  for (uint32_t boundary : units_[unit].boundaries) count += boundary <= offset;
  return 1 + count;
}

namespace {

// Tracks the fields open at a point of a walk: whether each shows its code, and whether the
// walk is in its code or result.
class FieldStack {
 public:
  void Begin(bool showsCode) {
    open_.push_back({showsCode, true});
    Recount();
  }
  void Separate() {
    if (open_.empty()) return;
    open_.back().inCode = false;
    Recount();
  }
  void End() {
    if (open_.empty()) return;
    open_.pop_back();
    Recount();
  }
  bool Hidden() const { return hidden_ > 0; }
  // Follows atom when it is a field mark (begin, separator, end) and returns true; returns
  // false for any other atom.
  bool Follow(const Atom& atom, const FieldDisplay& display) {
    switch (atom.kind) {
      case AtomKind::kBegin:
      case AtomKind::kSimpleBegin:
        Begin(display.ShowsCode(atom.node));
        return true;
      case AtomKind::kSeparate:
      case AtomKind::kSimpleSeparate:
        Separate();
        return true;
      case AtomKind::kEnd:
      case AtomKind::kSimpleEnd:
        End();
        return true;
      default:
        return false;
    }
  }

 private:
  struct Open {
    bool showsCode;
    bool inCode;
  };
  void Recount() {
    hidden_ = 0;
    for (const Open& o : open_) hidden_ += o.inCode != o.showsCode;
  }
  std::vector<Open> open_;
  int hidden_ = 0;
};

std::string_view AtomText(const Atom& atom) {
  if (atom.kind == AtomKind::kSimpleCode) return atom.node.attribute("w:instr").value();
  return atom.node.child_value();
}

}  // namespace

std::string Story::Text(long start, long end, const FieldDisplay& display,
                        const UnitHint* hint) const {
  std::string out;
  start = std::max(start, 0L);
  end = std::min(end, Length());
  if (start >= end) return out;
  FieldStack stack;
  bool hinted = hint != nullptr && hint->unit < units_.size() && hint->start <= start &&
                start < hint->start + units_[hint->unit].length;
  for (size_t unit = hinted ? hint->unit : UnitAt(start); unit < units_.size(); ++unit) {
    long base = hinted && unit == hint->unit ? hint->start : UnitStart(unit);
    if (base >= end) break;
    const std::vector<Atom>& atoms = Atoms(unit);
    // Atoms are in offset order: start at the last one beginning at or before start.
    auto first = atoms.begin();
    if (base < start) {
      first =
          std::upper_bound(atoms.begin(), atoms.end(), static_cast<uint32_t>(start - base),
                           [](uint32_t offset, const Atom& atom) { return offset < atom.offset; });
      if (first != atoms.begin()) --first;
    }
    for (auto it = first; it != atoms.end(); ++it) {
      const Atom& atom = *it;
      long ps = base + atom.offset;
      long pe = ps + atom.length;
      if (pe <= start) continue;
      if (ps >= end) break;
      if (stack.Follow(atom, display) || stack.Hidden()) continue;
      if (atom.kind == AtomKind::kChar) {
        if (atom.ch != 0) AppendUtf8(out, atom.ch);
      } else if (atom.kind == AtomKind::kMark) {
        out += units_[unit].kind == UnitKind::kParagraph ? "\r" : "\r\a";
      } else {
        std::string_view text = AtomText(atom);
        size_t from = static_cast<size_t>(std::max(start, ps) - ps);
        size_t to = static_cast<size_t>(std::min(end, pe) - ps);
        size_t a = ByteOffsetOf(text, from);
        size_t b = to == atom.length ? text.size() : a + ByteOffsetOf(text.substr(a), to - from);
        out.append(text.substr(a, b - a));
      }
    }
  }
  return out;
}

void Story::Shown(long start, long end, const FieldDisplay& display, std::u32string& text,
                  std::vector<long>& positions) const {
  start = std::max(start, 0L);
  end = std::min(end, Length());
  if (start >= end) return;
  FieldStack stack;
  for (size_t unit = UnitAt(start); unit < units_.size(); ++unit) {
    long base = UnitStart(unit);
    if (base >= end) break;
    for (const Atom& atom : Atoms(unit)) {
      long ps = base + atom.offset;
      long pe = ps + atom.length;
      if (ps >= end) break;
      if (stack.Follow(atom, display) || pe <= start || stack.Hidden()) continue;
      if (atom.kind == AtomKind::kChar || atom.kind == AtomKind::kMark) {
        text.push_back(atom.ch == 0 ? U'\uFFFC' : atom.ch);
        positions.push_back(ps);
      } else {
        std::u32string chars = DecodeUtf8(AtomText(atom));
        for (size_t i = 0; i < chars.size(); ++i) {
          long p = ps + static_cast<long>(i);
          if (p < start || p >= end) continue;
          text.push_back(chars[i]);
          positions.push_back(p);
        }
      }
    }
  }
}

bool Story::InCodeAt(long pos) const {
  size_t unit = UnitAt(std::min(pos, Length() - 1));
  uint32_t offset = static_cast<uint32_t>(pos - UnitStart(unit));
  std::vector<bool> inCode;
  for (const Atom& atom : Atoms(unit)) {
    if (atom.offset >= offset) break;
    if (atom.kind == AtomKind::kBegin || atom.kind == AtomKind::kSimpleBegin) {
      inCode.push_back(true);
    } else if ((atom.kind == AtomKind::kSeparate || atom.kind == AtomKind::kSimpleSeparate) &&
               !inCode.empty()) {
      inCode.back() = false;
    } else if ((atom.kind == AtomKind::kEnd || atom.kind == AtomKind::kSimpleEnd) &&
               !inCode.empty()) {
      inCode.pop_back();
    }
  }
  return !inCode.empty() && inCode.back();
}

pugi::xml_node Story::FormatAt(long pos) const {
  size_t unit = UnitAt(std::min(pos, Length() - 1));
  uint32_t offset = static_cast<uint32_t>(pos - UnitStart(unit));
  const std::vector<Atom>& atoms = Atoms(unit);
  const Atom* before = nullptr;
  const Atom* after = nullptr;
  for (const Atom& atom : atoms) {
    if (!IsRunBased(atom.kind)) continue;
    if (atom.offset + atom.length <= offset) {
      before = &atom;
    } else if (after == nullptr) {
      after = &atom;
    }
  }
  if (before != nullptr) return before->node.parent().child("w:rPr");
  if (after != nullptr) return after->node.parent().child("w:rPr");
  return units_[unit].node.child("w:pPr").child("w:rPr");
}

pugi::xml_node Story::FormatOfFirst(long start, long end) const {
  end = std::min(end, Length());
  for (size_t unit = UnitAt(start); unit < units_.size(); ++unit) {
    long base = UnitStart(unit);
    if (base >= end) break;
    for (const Atom& atom : Atoms(unit)) {
      long ps = base + atom.offset;
      if (ps + static_cast<long>(atom.length) <= start) continue;
      if (ps >= end) break;
      if (atom.kind == AtomKind::kText || atom.kind == AtomKind::kCode ||
          atom.kind == AtomKind::kChar) {
        return atom.node.parent().child("w:rPr");
      }
    }
  }
  return FormatAt(start);
}

pugi::xml_node Story::NewRun(CutPoint& cut, pugi::xml_node format) {
  pugi::xml_node run = cut.before ? cut.parent.insert_child_before("w:r", cut.before)
                                  : cut.parent.append_child("w:r");
  if (format) {
    pugi::xml_node props = run.append_copy(format);
    for (const char* name : {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"}) {
      while (pugi::xml_node revision = props.child(name)) props.remove_child(revision);
    }
  }
  return run;
}

CutPoint Story::CutInUnit(size_t index, uint32_t offset) {
  ++generation_;
  Unit& unit = units_[index];
  const std::vector<Atom> atoms = Atoms(index);
  unit.atomsValid = false;
  for (const Atom& atom : atoms) {
    if ((atom.kind == AtomKind::kText || atom.kind == AtomKind::kCode) && atom.offset < offset &&
        offset < atom.offset + atom.length) {
      pugi::xml_node element = atom.node;
      std::string text = element.child_value();
      size_t cut = ByteOffsetOf(text, offset - atom.offset);
      SetElementText(element, text.substr(0, cut));
      pugi::xml_node tail = element.parent().insert_child_after(element.name(), element);
      SetElementText(tail, text.substr(cut));
      pugi::xml_node run = element.parent();
      pugi::xml_node newRun = SplitRunBefore(run, tail);
      return {newRun.parent(), newRun};
    }
  }
  const Atom* previous = nullptr;
  const Atom* next = nullptr;
  for (const Atom& atom : atoms) {
    if (atom.kind == AtomKind::kMark) break;
    if (atom.offset + atom.length == offset) previous = &atom;
    if (atom.offset == offset && next == nullptr) next = &atom;
  }
  if (previous != nullptr) {
    if (previous->kind == AtomKind::kSimpleEnd) {
      return {previous->node.parent(), previous->node.next_sibling()};
    }
    if (IsSimple(previous->kind)) {
      throw host::HostError(host::kErrNotAvailable, "cannot insert inside a simple field");
    }
    pugi::xml_node run = previous->node.parent();
    if (pugi::xml_node following = NextElement(previous->node)) {
      pugi::xml_node newRun = SplitRunBefore(run, following);
      return {newRun.parent(), newRun};
    }
    return {run.parent(), run.next_sibling()};
  }
  if (next != nullptr) {
    if (next->kind == AtomKind::kSimpleBegin) return {next->node.parent(), next->node};
    if (IsSimple(next->kind)) {
      throw host::HostError(host::kErrNotAvailable, "cannot insert inside a simple field");
    }
    pugi::xml_node run = next->node.parent();
    pugi::xml_node before = PreviousElement(next->node);
    if (before && !IsW(before, "rPr")) {
      pugi::xml_node newRun = SplitRunBefore(run, next->node);
      return {newRun.parent(), newRun};
    }
    return {run.parent(), run};
  }
  if (!IsW(unit.node, "p")) {
    throw host::HostError(host::kErrNotAvailable, "the cell has no paragraph to write into");
  }
  return {unit.node, {}};
}

CutPoint Story::Cut(long pos) {
  size_t unit = UnitAt(std::min(pos, Length() - 1));
  return CutInUnit(unit, static_cast<uint32_t>(pos - UnitStart(unit)));
}

bool Story::ReplaceInAtom(long start, long end, const std::string& text) {
  if (text.empty() || start >= Length()) return false;
  size_t unit = UnitAt(start);
  long base = UnitStart(unit);
  const std::vector<Atom>& atoms = Atoms(unit);
  for (size_t k = 0; k < atoms.size(); ++k) {
    const Atom& atom = atoms[k];
    long ps = base + atom.offset;
    if ((atom.kind != AtomKind::kText && atom.kind != AtomKind::kCode) || start < ps ||
        end > ps + static_cast<long>(atom.length)) {
      continue;
    }
    std::string value = atom.node.child_value();
    size_t a = ByteOffsetOf(value, static_cast<size_t>(start - ps));
    size_t b = ByteOffsetOf(value, static_cast<size_t>(end - ps));
    value.replace(a, b - a, text);
    SetElementText(atom.node, value);
    ResizeAtom(unit, k, static_cast<uint32_t>(CodePointCount(value)));
    return true;
  }
  return false;
}

void Story::ResizeAtom(size_t index, size_t k, uint32_t length) {
  Unit& unit = units_[index];
  ++generation_;
  Atom& atom = unit.atoms[k];
  const uint32_t oldEnd = atom.offset + atom.length;
  const long delta = static_cast<long>(length) - static_cast<long>(atom.length);
  if (delta == 0) return;
  // The paragraph keeps its elements, kinds and page events: only what follows the atom moves.
  auto shift = [delta](uint32_t offset) { return static_cast<uint32_t>(offset + delta); };
  atom.length = length;
  for (size_t j = k + 1; j < unit.atoms.size(); ++j)
    unit.atoms[j].offset = shift(unit.atoms[j].offset);
  for (PageEvent& event : unit.events) {
    if (event.offset >= oldEnd) event.offset = shift(event.offset);
  }
  unit.length += delta;
  lengths_.Add(index, delta);
  startsValid_ = false;
  treeLookups_ = 0;
  ComputeBoundaries(unit);  // the same boundaries, at their new offsets
}

void Story::DeleteInUnit(size_t index, uint32_t start, uint32_t end) {
  if (start >= end) return;
  ++generation_;
  const std::vector<Atom> atoms = Atoms(index);
  units_[index].atomsValid = false;
  std::vector<pugi::xml_node> touched;
  for (const Atom& atom : atoms) {
    uint32_t as = atom.offset;
    uint32_t ae = atom.offset + atom.length;
    if (ae <= start || atom.kind == AtomKind::kMark) continue;
    if (as >= end) break;
    if (IsSimple(atom.kind)) {
      throw host::HostError(host::kErrNotAvailable, "cannot delete part of a simple field");
    }
    pugi::xml_node run = atom.node.parent();
    if ((atom.kind == AtomKind::kText || atom.kind == AtomKind::kCode) &&
        (as < start || ae > end)) {
      std::string value = atom.node.child_value();
      size_t a = ByteOffsetOf(value, std::max(start, as) - as);
      size_t b = ByteOffsetOf(value, std::min(end, ae) - as);
      value.erase(a, b - a);
      SetElementText(atom.node, value);
      continue;
    }
    run.remove_child(atom.node);
    touched.push_back(run);
  }
  for (pugi::xml_node run : touched) {
    if (run.parent()) RemoveIfEmpty(run);
  }
}

void Story::Delete(long start, long end) {
  start = std::max(start, 0L);
  // The final paragraph mark cannot be deleted.
  end = std::min(end, Length() - 1);
  if (start >= end) return;
  size_t first = UnitAt(start);
  size_t last = UnitAt(end);
  uint32_t startOffset = static_cast<uint32_t>(start - UnitStart(first));
  uint32_t endOffset = static_cast<uint32_t>(end - UnitStart(last));
  if (first == last) {
    DeleteInUnit(first, startOffset, endOffset);
    Refresh(first);
    return;
  }
  pugi::xml_node parent = units_[first].node.parent();
  for (size_t i = first; i <= last; ++i) {
    bool ok = units_[i].kind != UnitKind::kRowEnd && units_[i].node.parent() == parent &&
              (i == last || units_[i].kind == UnitKind::kParagraph);
    if (!ok) {
      throw host::HostError(host::kErrNotAvailable,
                            "the range cannot be deleted: it spans table cells or rows");
    }
  }
  DeleteInUnit(last, 0, endOffset);
  DeleteInUnit(first, startOffset, static_cast<uint32_t>(units_[first].length - 1));
  for (size_t i = first + 1; i < last; ++i) parent.remove_child(units_[i].node);
  // The surviving mark is the last paragraph's, and with it its properties: move what is
  // left of the first paragraph to the front of the last one.
  pugi::xml_node from = units_[first].node;
  pugi::xml_node to = units_[last].node;
  pugi::xml_node anchor = FirstElement(to);
  if (anchor && IsW(anchor, "pPr")) anchor = anchor.next_sibling();
  for (pugi::xml_node n = from.first_child(); n;) {
    pugi::xml_node next = n.next_sibling();
    if (!IsW(n, "pPr")) {
      if (anchor) {
        to.insert_move_before(n, anchor);
      } else {
        to.append_move(n);
      }
    }
    n = next;
  }
  parent.remove_child(from);
  dirty_.insert(to.internal_object());
  Rebuild();
}

void Story::SplitParagraph(long pos) {
  size_t unit = UnitAt(std::min(pos, Length() - 1));
  pugi::xml_node paragraph = units_[unit].node;
  if (units_[unit].kind == UnitKind::kRowEnd || !IsW(paragraph, "p")) {
    throw host::HostError(host::kErrNotAvailable, "a paragraph cannot start here");
  }
  CutPoint cut = CutInUnit(unit, static_cast<uint32_t>(pos - UnitStart(unit)));
  while (cut.parent != paragraph) {
    pugi::xml_node container = cut.parent;
    if (!cut.before) {
      cut = {container.parent(), container.next_sibling()};
    } else if (cut.before == FirstElement(container)) {
      cut = {container.parent(), container};
    } else {
      pugi::xml_node copy = container.parent().insert_child_after(container.name(), container);
      for (pugi::xml_attribute a : container.attributes()) copy.append_copy(a);
      for (pugi::xml_node n = cut.before; n;) {
        pugi::xml_node next = n.next_sibling();
        copy.append_move(n);
        n = next;
      }
      cut = {container.parent(), copy};
    }
  }
  pugi::xml_node head = paragraph.parent().insert_child_before("w:p", paragraph);
  for (pugi::xml_attribute a : paragraph.attributes()) head.append_copy(a);
  if (pugi::xml_node props = paragraph.child("w:pPr")) {
    pugi::xml_node copy = head.append_copy(props);
    copy.remove_child("w:sectPr");
  }
  for (pugi::xml_node n = paragraph.first_child(); n && n != cut.before;) {
    pugi::xml_node next = n.next_sibling();
    if (!IsW(n, "pPr")) head.append_move(n);
    n = next;
  }
  dirty_.insert(paragraph.internal_object());
  Rebuild();
}

}  // namespace quillon::docx
