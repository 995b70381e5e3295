// The styles part of a document, read on first use: style names by id, and Word's "Table
// Grid" table style added when a table asks for it and the document lacks it.
#pragma once

#include <pugixml.hpp>

#include <string>

#include "wordhost/docx/Deflate.h"
#include "wordhost/docx/RunFormat.h"

namespace quillon::docx {

class Styles {
 public:
  // content is the XML of the styles part name, or empty when the document has no styles part
  // (one is then made when a style has to be added). Throws DocxError as ParsePart does.
  Styles(const std::string& name, const std::string& content);

  // Returns the name of the style with that id, or the id itself when there is no such style.
  std::string NameOf(const std::string& id) const;
  // Returns the id of the table style named name (names compare without regard to case), or
  // "" when there is none.
  std::string TableStyleId(const std::string& name) const;
  // Returns the id of "Table Grid", adding Word's definition of it when missing.
  std::string EnsureTableGrid();
  // Returns the font size in half-points that text of the paragraph style paragraphStyleId
  // ("" for the default paragraph style) takes when its runs set none: the style's (or that
  // of a style it is based on), else the document defaults', else Word's 10 points.
  int FontHalfPoints(const std::string& paragraphStyleId) const;
  // Returns the list numbering (w:numPr) that paragraphs of style paragraphStyleId take from
  // it or from a style it is based on; empty when none. Valid while the styles live.
  pugi::xml_node ParagraphNumbering(const std::string& paragraphStyleId) const;

  // Applies onto format the run properties of the document defaults.
  void ApplyDefaultRunFormat(RunFormat& format) const;
  // Applies onto format the run properties of style styleId and of the styles it is based on,
  // the base's first; "" is the default paragraph style. An unknown style changes nothing.
  void ApplyStyleRunFormat(const std::string& styleId, RunFormat& format) const;

  // Returns the justification (w:jc's value: "center", "right", "both"...) that paragraphs of
  // style paragraphStyleId ("" the default paragraph style) take from it or a style it is
  // based on; "" when none sets one.
  std::string ParagraphJustification(const std::string& paragraphStyleId) const;

  // Returns whether a style was added since loading.
  bool Modified() const { return modified_; }
  // Returns the part's XML as it is now, deflated. Throws DocxError when compressing fails.
  DeflatedPart Serialize() const;

 private:
  // Returns the style with that id, or the default paragraph style for "", or an empty node.
  pugi::xml_node StyleOrDefault(const std::string& styleId) const;

  pugi::xml_document xml_;
  pugi::xml_node root_;
  bool modified_ = false;
};

}  // namespace quillon::docx
