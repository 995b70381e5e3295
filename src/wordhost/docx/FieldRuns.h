// The runs a new field is written as: begin mark, code, separator, result and end mark, each
// in a run of its own. They are parsed once for each code and result into the document itself
// and copied from there, so that the copies share the parsed names, attributes and texts: a
// batch of thousands of fields allocates no string per field.
//
// Errors: DocxError.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "wordhost/docx/StoryEdit.h"

namespace quillon::docx {

// The runs of fields with one code and result, and their lengths.
struct FieldPrototype {
  pugi::xml_node runs;    // holds the runs: begin, code, separator, result (none when empty), end
  long codeLength = 0;    // the code with a blank on either side, in story characters
  long resultLength = 0;  // in story characters
  long Length() const { return 3 + codeLength + resultLength; }  // with the three marks
};

class FieldRunPrototypes {
 public:
  // Parses prototypes into xml, under an element that goes with this object; the parsed text
  // stays with xml.
  explicit FieldRunPrototypes(pugi::xml_document& xml);
  ~FieldRunPrototypes();
  FieldRunPrototypes(const FieldRunPrototypes&) = delete;
  FieldRunPrototypes& operator=(const FieldRunPrototypes&) = delete;

  // Returns the prototype of a field with code (written with a blank on either side, as Word
  // writes codes) and result; valid as long as this object. Throws DocxError when the runs
  // cannot be made (out of memory). REQUIRES: code and result are valid UTF-8 and outlive this
  // object.
  const FieldPrototype& For(std::string_view code, std::string_view result);

 private:
  struct KeyHash {
    size_t operator()(const std::pair<std::string_view, std::string_view>& key) const;
  };
  // Appends text as an element's content: closes the open start tag, then the text escaped.
  void AppendText(std::string_view text);

  pugi::xml_node holder_;
  std::string xml_;
  std::unordered_map<std::pair<std::string_view, std::string_view>, FieldPrototype, KeyHash>
      prototypes_;
};

// The runs of a new field put at a cut, and its marks.
struct FieldRuns {
  pugi::xml_node firstRun;
  pugi::xml_node lastRun;
  pugi::xml_node begin;
  pugi::xml_node separate;
  pugi::xml_node end;
};

// Puts copies of prototype's runs at cut, each with a copy of format first; returns them.
FieldRuns AppendFieldRuns(CutPoint& cut, pugi::xml_node format, const FieldPrototype& prototype);

}  // namespace quillon::docx
