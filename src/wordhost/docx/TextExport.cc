#include "wordhost/docx/TextExport.h"

#include <algorithm>
#include <optional>

#include "base/Utf8.h"
#include "wordhost/docx/ListLabels.h"
#include "wordhost/docx/StoryText.h"
#include "wordhost/docx/Wml.h"

namespace quillon::docx {
namespace {

class AllCodes : public FieldDisplay {
 public:
  explicit AllCodes(bool codes) : codes_(codes) {}
  bool ShowsCode(pugi::xml_node) const override { return codes_; }

 private:
  bool codes_;
};

// Appends the number of the footnote or endnote reference at pos, if that is what it is.
void AppendNoteNumber(const Story& story, long pos, ListLabels& labels, std::string& out) {
  size_t unit = story.UnitAt(pos);
  const std::vector<Atom>& atoms = story.Atoms(unit);
  auto offset = static_cast<uint32_t>(pos - story.UnitStart(unit));
  auto atom = std::lower_bound(atoms.begin(), atoms.end(), offset, [](const Atom& a, uint32_t at) {
    return a.offset + a.length <= at;
  });
  if (atom == atoms.end() || atom->offset > offset) return;
  if (IsW(atom->node, "footnoteReference")) {
    out += labels.NextFootnote();
  } else if (IsW(atom->node, "endnoteReference")) {
    out += labels.NextEndnote();
  }
}

}  // namespace

std::string ShowText(const Document& document, bool codes, bool cellLines) {
  const Story& story = document.story();
  AllCodes display(codes);
  std::u32string text;
  std::vector<long> positions;
  ShownCharacters(story, 0, story.Length(), display, text, positions);
  ListLabels labels(document);
  std::string out;
  out.reserve(text.size());
  size_t lineStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (i == 0 || text[i - 1] == U'\r' || text[i - 1] == U'\a') {
      // A paragraph starts: its list label goes first, indented by its level (LibreOffice's
      // text layout: four spaces a level, the label, a space).
      size_t unit = story.UnitAt(positions[i]);
      if (story.KindOf(unit) != UnitKind::kRowEnd) {
        if (std::optional<ListLabel> label = labels.Next(story.NodeOf(unit))) {
          out.append(4 * static_cast<size_t>(label->level + 1), ' ');
          out += label->text;
          out += ' ';
        }
      }
    }
    switch (c) {
      case U'\r': {
        // An empty paragraph that only ends a section is a section break, not a line.
        pugi::xml_node node = story.NodeOf(story.UnitAt(positions[i]));
        if (out.size() == lineStart && node.child("w:pPr").child("w:sectPr")) break;
        out += '\n';
        lineStart = out.size();
        break;
      }
      case U'\a': {
        // A cell end is a tab before the next cell; the row end closes the line.
        size_t unit = story.UnitAt(positions[i]);
        if (cellLines) {
          if (story.KindOf(unit) != UnitKind::kRowEnd) {
            out += '\n';
            lineStart = out.size();
          }
        } else if (story.KindOf(unit) == UnitKind::kRowEnd) {
          if (!out.empty() && out.back() == '\t') out.pop_back();
          out += '\n';
          lineStart = out.size();
        } else {
          out += '\t';
        }
        break;
      }
      case U'\v':
        out += '\n';
        lineStart = out.size();
        break;
      case U'\f':
      case U'\x0E':
        // A page or column break moves the text to a new page, not to a new line.
      case U'\uFFFC':
        // Note references show their numbers; other objects show nothing.
        AppendNoteNumber(story, positions[i], labels, out);
        break;
      case U'\u00AD':
        break;
      default:
        AppendUtf8(out, c);
    }
  }
  return out;
}

std::vector<FieldListing> ListFields(const Document& document) {
  const FieldIndex& fields = document.fieldIndex();
  const Story& story = document.story();
  std::vector<FieldListing> listing;
  listing.reserve(fields.Count());
  for (size_t i = 0; i < fields.Count(); ++i) {
    const FieldRecord& field = *fields.At(i);
    FieldListing entry;
    entry.index = static_cast<long>(i + 1);
    entry.start = fields.BeginOf(field, story);
    entry.page = story.PageAt(entry.start);
    entry.code = document.CodeText(field);
    entry.result = document.ResultText(field);
    listing.push_back(std::move(entry));
  }
  return listing;
}

}  // namespace quillon::docx
