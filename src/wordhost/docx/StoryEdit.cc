#include "wordhost/docx/StoryEdit.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "addin/host/HostError.h"
#include "base/Utf8.h"
#include "wordhost/docx/Wml.h"

namespace quillon::docx {
namespace {

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

}  // namespace

pugi::xml_node StoryEditor::NewRun(CutPoint& cut, pugi::xml_node format, pugi::xml_node prototype) {
  pugi::xml_node run;
  if (prototype) {
    run = cut.before ? cut.parent.insert_copy_before(prototype, cut.before)
                     : cut.parent.append_copy(prototype);
  } else {
    run = cut.before ? cut.parent.insert_child_before("w:r", cut.before)
                     : cut.parent.append_child("w:r");
  }
  if (format) {
    pugi::xml_node props = run.prepend_copy(format);
    for (const char* name : {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"}) {
      while (pugi::xml_node revision = props.child(name)) props.remove_child(revision);
    }
  }
  return run;
}

CutPoint StoryEditor::CutOutOfText(pugi::xml_node text, uint32_t from, uint32_t to) {
  const std::string_view value = text.child_value();
  const size_t fromByte = ByteOffsetOf(value, from);
  const std::string after(value.substr(ByteOffsetOf(value, to)));
  pugi::xml_node run = text.parent();
  if (fromByte == 0) {
    SetElementText(text, after);
    pugi::xml_node before = PreviousElement(text);
    if (!before || IsW(before, "rPr")) return {run.parent(), run};
    pugi::xml_node newRun = SplitRunBefore(run, text);
    return {newRun.parent(), newRun};
  }
  SetElementText(text, std::string(value.substr(0, fromByte)));
  pugi::xml_node tail = run.insert_child_after(text.name(), text);
  SetElementText(tail, after);
  pugi::xml_node newRun = SplitRunBefore(run, tail);
  return {newRun.parent(), newRun};
}

CutPoint StoryEditor::CutInUnit(size_t index, uint32_t offset) {
  const std::vector<Atom> atoms = story_.Atoms(index);
  story_.Touch(index);
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
  pugi::xml_node node = story_.NodeOf(index);
  if (!IsW(node, "p")) {
    throw host::HostError(host::kErrNotAvailable, "the cell has no paragraph to write into");
  }
  return {node, {}};
}

std::optional<RunSlot> StoryEditor::SlotAfterRun(long pos) const {
  if (pos <= 0 || pos >= story_.Length()) return std::nullopt;
  size_t unit = story_.UnitAt(pos);
  uint32_t offset = static_cast<uint32_t>(pos - story_.UnitStart(unit));
  const std::vector<Atom>& atoms = story_.Atoms(unit);
  // Atoms tile the unit in order, so the one starting at offset is found by its offset alone.
  auto next = std::lower_bound(atoms.begin(), atoms.end(), offset,
                               [](const Atom& atom, uint32_t at) { return atom.offset < at; });
  if (next == atoms.begin() || next == atoms.end() || next->offset != offset) return std::nullopt;
  const Atom& previous = *std::prev(next);
  // The same place CutInUnit picks for an atom that ends its run: right after that run.
  if (!IsRunBased(previous.kind) || NextElement(previous.node)) return std::nullopt;
  pugi::xml_node run = previous.node.parent();
  return RunSlot{
      {run.parent(), run.next_sibling()}, unit, static_cast<size_t>(next - atoms.begin())};
}

CutPoint StoryEditor::Cut(long pos) {
  size_t unit = story_.UnitAt(std::min(pos, story_.Length() - 1));
  return CutInUnit(unit, static_cast<uint32_t>(pos - story_.UnitStart(unit)));
}

bool StoryEditor::ReplaceInAtom(long start, long end, const std::string& text) {
  if (text.empty()) return false;
  return RewriteInAtom(start, end, text);
}

bool StoryEditor::EraseInAtom(long start, long end) {
  return start < end && RewriteInAtom(start, end, {});
}

bool StoryEditor::RewriteInAtom(long start, long end, const std::string& text) {
  if (start >= story_.Length()) return false;
  size_t unit = story_.UnitAt(start);
  long base = story_.UnitStart(unit);
  const std::vector<Atom>& atoms = story_.Atoms(unit);
  for (size_t k = 0; k < atoms.size(); ++k) {
    const Atom& atom = atoms[k];
    long ps = base + atom.offset;
    if ((atom.kind != AtomKind::kText && atom.kind != AtomKind::kCode) || start < ps ||
        end > ps + static_cast<long>(atom.length)) {
      continue;
    }
    // An atom left empty is no atom: its element would go, which moving it cannot express.
    if (text.empty() && end - start == static_cast<long>(atom.length)) return false;
    std::string value = atom.node.child_value();
    size_t a = ByteOffsetOf(value, static_cast<size_t>(start - ps));
    size_t b = ByteOffsetOf(value, static_cast<size_t>(end - ps));
    value.replace(a, b - a, text);
    SetElementText(atom.node, value);
    story_.ResizeAtom(unit, k, static_cast<uint32_t>(CodePointCount(value)));
    return true;
  }
  return false;
}

void StoryEditor::DeleteInUnit(size_t index, uint32_t start, uint32_t end) {
  if (start >= end) return;
  const std::vector<Atom> atoms = story_.Atoms(index);
  story_.Touch(index);
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

void StoryEditor::Delete(long start, long end) {
  start = std::max(start, 0L);
  // The final paragraph mark cannot be deleted.
  end = std::min(end, story_.Length() - 1);
  if (start >= end) return;
  size_t first = story_.UnitAt(start);
  size_t last = story_.UnitAt(end);
  uint32_t startOffset = static_cast<uint32_t>(start - story_.UnitStart(first));
  uint32_t endOffset = static_cast<uint32_t>(end - story_.UnitStart(last));
  if (first == last) {
    DeleteInUnit(first, startOffset, endOffset);
    story_.Refresh(first);
    return;
  }
  pugi::xml_node parent = story_.NodeOf(first).parent();
  for (size_t i = first; i <= last; ++i) {
    UnitKind kind = story_.KindOf(i);
    bool ok = kind != UnitKind::kRowEnd && story_.NodeOf(i).parent() == parent &&
              (i == last || kind == UnitKind::kParagraph);
    if (!ok) {
      throw host::HostError(host::kErrNotAvailable,
                            "the range cannot be deleted: it spans table cells or rows");
    }
  }
  DeleteInUnit(last, 0, endOffset);
  DeleteInUnit(first, startOffset, static_cast<uint32_t>(story_.UnitLength(first) - 1));
  for (size_t i = first + 1; i < last; ++i) parent.remove_child(story_.NodeOf(i));
  // The surviving mark is the last paragraph's, and with it its properties: move what is
  // left of the first paragraph to the front of the last one.
  pugi::xml_node from = story_.NodeOf(first);
  pugi::xml_node to = story_.NodeOf(last);
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
  story_.Rebuild(to);
}

void StoryEditor::SplitParagraph(long pos) {
  size_t unit = story_.UnitAt(std::min(pos, story_.Length() - 1));
  pugi::xml_node paragraph = story_.NodeOf(unit);
  if (story_.KindOf(unit) == UnitKind::kRowEnd || !IsW(paragraph, "p")) {
    throw host::HostError(host::kErrNotAvailable, "a paragraph cannot start here");
  }
  CutPoint cut = CutInUnit(unit, static_cast<uint32_t>(pos - story_.UnitStart(unit)));
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
  story_.Rebuild(paragraph);
}

}  // namespace quillon::docx
