// The labels Word draws before numbered paragraphs (list numbers and bullets, from the
// numbering part) and the numbers of footnote and endnote references, for views of the text.
// They are no part of the story: its positions and text do not change for them.
//
// Errors: DocxError, as ParsePart's, for a numbering part that is not well-formed.
#pragma once

#include <pugixml.hpp>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::docx {

class Document;

// Returns number written in the WordprocessingML number format (w:numFmt): "decimal",
// "decimalZero", "lowerLetter" ("a".."z", then "aa"), "upperLetter", "lowerRoman",
// "upperRoman"; "" for "none" and "bullet"; other formats as "decimal".
std::string FormatNumber(long number, std::string_view format);

struct ListLabel {
  std::string text;  // "1.", "a)", "2.1.", a bullet character
  int level = 0;     // 0 for the outermost level
};

// Counts the numbered paragraphs of one document as it is read in order.
class ListLabels {
 public:
  // Reads document's numbering part; a document without one numbers no paragraph. Throws
  // DocxError for a numbering part that is not well-formed. REQUIRES: document outlives this.
  explicit ListLabels(const Document& document);

  // Returns the label of paragraph (w:p), from its own numbering or its style's, counting it:
  // call once for each paragraph, in document order. nullopt when it is not numbered.
  std::optional<ListLabel> Next(pugi::xml_node paragraph);
  // Returns the number of the next footnote reference (decimal, "1" first), counting it.
  std::string NextFootnote() { return FormatNumber(++footnotes_, "decimal"); }
  // Returns the number of the next endnote reference (Word numbers them "i", "ii", ...),
  // counting it.
  std::string NextEndnote() { return FormatNumber(++endnotes_, "lowerRoman"); }

 private:
  struct Level {
    long start = 1;
    std::string format = "decimal";
    std::string text;
    // w:lvlRestart: the level starts again after a paragraph of a level shallower than this
    // (0-based levels below restartBelow); by default after any shallower level, never for 0.
    size_t restartBelow = kDefaultRestart;
    bool legal = false;  // w:isLgl: the label shows every level's number in decimal
  };
  static constexpr size_t kDefaultRestart = static_cast<size_t>(-1);
  // Returns the abstract definition of list numId, following a link to a numbering style
  // (w:numStyleLink) to the definition that style carries; empty when there is none.
  pugi::xml_node AbstractOf(const std::string& numId) const;
  // Returns the levels of list numId (empty when it has none), read once.
  const std::vector<Level>& LevelsOf(const std::string& numId);

  const Document& document_;
  pugi::xml_document numbering_;
  std::map<std::string, std::vector<Level>> levels_;
  // The counters of each list by level; empty for a level not counted since it restarted.
  std::map<std::string, std::vector<std::optional<long>>> counters_;
  long footnotes_ = 0;
  long endnotes_ = 0;
};

}  // namespace quillon::docx
