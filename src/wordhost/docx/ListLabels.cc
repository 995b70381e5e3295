#include "wordhost/docx/ListLabels.h"

#include <algorithm>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/Relationships.h"
#include "wordhost/docx/Styles.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

// Word has nine list levels.
constexpr size_t kLevels = 9;

std::string Roman(long number) {
  static const std::pair<long, const char*> kDigits[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
  std::string out;
  for (auto [value, digits] : kDigits) {
    for (; number >= value; number -= value) out += digits;
  }
  return out;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return text;
}

}  // namespace

std::string FormatNumber(long number, std::string_view format) {
  if (format == "none" || format == "bullet") return {};
  if ((format == "lowerLetter" || format == "upperLetter") && number > 0) {
    // a..z, then aa..zz, aaa..: the letter repeated once more each round.
    std::string letters(static_cast<size_t>((number - 1) / 26 + 1),
                        static_cast<char>('a' + (number - 1) % 26));
    return format == "upperLetter" ? Upper(letters) : letters;
  }
  if ((format == "lowerRoman" || format == "upperRoman") && number > 0 && number < 4000) {
    return format == "upperRoman" ? Upper(Roman(number)) : Roman(number);
  }
  std::string digits = std::to_string(number);
  if (format == "decimalZero" && number >= 0 && number < 10) digits.insert(0, "0");
  return digits;
}

ListLabels::ListLabels(const Document& document) : document_(document) {
  const Package& package = document.package();
  std::string part = RelationshipTarget(package, document.mainPart(), "/numbering");
  if (!part.empty() && package.Has(part)) {
    ParsePart(numbering_, part, package.Read(part), pugi::parse_default);
  }
}

pugi::xml_node ListLabels::AbstractOf(const std::string& numId) const {
  pugi::xml_node root = numbering_.child("w:numbering");
  std::string id = numId;
  // A definition may stand for a numbering style, whose own list holds the levels; a few hops
  // at most, so that a style linked back to itself ends.
  for (int hop = 0; hop < 4 && !id.empty(); ++hop) {
    pugi::xml_node num = root.find_child_by_attribute("w:num", "w:numId", id.c_str());
    if (!num) return {};
    std::string abstractId = num.child("w:abstractNumId").attribute("w:val").value();
    pugi::xml_node abstract =
        root.find_child_by_attribute("w:abstractNum", "w:abstractNumId", abstractId.c_str());
    std::string styleLink = abstract.child("w:numStyleLink").attribute("w:val").value();
    if (styleLink.empty()) return abstract;
    id = document_.styles()
             .ParagraphNumbering(styleLink)
             .child("w:numId")
             .attribute("w:val")
             .value();
  }
  return {};
}

const std::vector<ListLabels::Level>& ListLabels::LevelsOf(const std::string& numId) {
  auto found = levels_.find(numId);
  if (found != levels_.end()) return found->second;
  std::vector<Level> levels(kLevels);
  pugi::xml_node num =
      numbering_.child("w:numbering").find_child_by_attribute("w:num", "w:numId", numId.c_str());
  pugi::xml_node abstract = AbstractOf(numId);
  if (!abstract) levels.clear();
  for (pugi::xml_node lvl : abstract.children("w:lvl")) {
    size_t index = lvl.attribute("w:ilvl").as_uint(kLevels);
    if (index >= kLevels) continue;
    Level& level = levels[index];
    level.start = lvl.child("w:start").attribute("w:val").as_int(1);
    if (pugi::xml_node format = lvl.child("w:numFmt")) {
      level.format = format.attribute("w:val").value();
    }
    level.text = lvl.child("w:lvlText").attribute("w:val").value();
    if (pugi::xml_node restart = lvl.child("w:lvlRestart")) {
      level.restartBelow = restart.attribute("w:val").as_uint(0);
    }
    level.legal = static_cast<bool>(lvl.child("w:isLgl")) &&
                  lvl.child("w:isLgl").attribute("w:val").as_bool(true);
  }
  // A list may start a level elsewhere than its abstract definition does.
  for (pugi::xml_node override : num.children("w:lvlOverride")) {
    size_t index = override.attribute("w:ilvl").as_uint(kLevels);
    pugi::xml_node start = override.child("w:startOverride");
    if (index < levels.size() && start) levels[index].start = start.attribute("w:val").as_int(1);
  }
  return levels_.emplace(numId, std::move(levels)).first->second;
}

std::optional<ListLabel> ListLabels::Next(pugi::xml_node paragraph) {
  if (!numbering_.child("w:numbering")) return std::nullopt;  // nothing is numbered
  pugi::xml_node props = paragraph.child("w:pPr");
  pugi::xml_node own = props.child("w:numPr");
  pugi::xml_node fromStyle =
      document_.styles().ParagraphNumbering(props.child("w:pStyle").attribute("w:val").value());
  // The paragraph's own numbering wins; a level it leaves out comes from its style, or is 0.
  std::string numId = own.child("w:numId").attribute("w:val").value();
  if (numId.empty()) numId = fromStyle.child("w:numId").attribute("w:val").value();
  if (numId.empty() || numId == "0") return std::nullopt;
  pugi::xml_node levelNode = own.child("w:ilvl");
  if (!levelNode) levelNode = fromStyle.child("w:ilvl");
  size_t level = levelNode.attribute("w:val").as_uint(0);
  const std::vector<Level>& levels = LevelsOf(numId);
  if (level >= levels.size()) return std::nullopt;

  std::vector<std::optional<long>>& counters = counters_[numId];
  counters.resize(kLevels);
  counters[level] = counters[level] ? *counters[level] + 1 : levels[level].start;
  for (size_t deeper = level + 1; deeper < kLevels; ++deeper) {
    const size_t below = levels[deeper].restartBelow;
    if (below == kDefaultRestart || level < below) counters[deeper].reset();
  }

  // %1..%9 stand for the counters of the levels, each in its own level's format.
  ListLabel label;
  label.level = static_cast<int>(level);
  const std::string& pattern = levels[level].text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
        pattern[i + 1] <= '9') {
      size_t of = static_cast<size_t>(pattern[i + 1] - '1');
      long value = counters[of] ? *counters[of] : levels[of].start;
      label.text += FormatNumber(value, levels[level].legal ? "decimal" : levels[of].format);
      ++i;
    } else {
      label.text += pattern[i];
    }
  }
  return label;
}

}  // namespace quillon::docx
