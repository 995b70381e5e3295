// Builds small WordprocessingML documents for the tests: snippets for paragraphs, runs and
// fields, and a minimal .docx package around a body.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/Package.h"

namespace quillon::docx::testing {

inline std::string Escape(const std::string& text) {
  const std::string_view special = "<>&\"";
  const char* const entities[] = {"&lt;", "&gt;", "&amp;", "&quot;"};
  std::string out;
  for (char c : text) {
    const size_t k = special.find(c);
    if (k == std::string_view::npos)
      out += c;
    else
      out += entities[k];
  }
  return out;
}

// A run of text with optional run properties (the inside of w:rPr).
inline std::string R(const std::string& text, const std::string& props = "") {
  std::string rPr = props.empty() ? "" : "<w:rPr>" + props + "</w:rPr>";
  return "<w:r>" + rPr + "<w:t xml:space=\"preserve\">" + Escape(text) + "</w:t></w:r>";
}

inline std::string P(const std::string& inner, const std::string& pPr = "") {
  return "<w:p>" + (pPr.empty() ? "" : "<w:pPr>" + pPr + "</w:pPr>") + inner + "</w:p>";
}

inline std::string Mark(const char* type, const std::string& props = "") {
  std::string rPr = props.empty() ? "" : "<w:rPr>" + props + "</w:rPr>";
  return std::string("<w:r>") + rPr + "<w:fldChar w:fldCharType=\"" + type + "\"/></w:r>";
}

inline std::string Instr(const std::string& code) {
  return "<w:r><w:instrText xml:space=\"preserve\">" + Escape(code) + "</w:instrText></w:r>";
}

// A complex field; result is run-level XML (use R()).
inline std::string Fld(const std::string& code, const std::string& resultRuns) {
  return Mark("begin") + Instr(code) + Mark("separate") + resultRuns + Mark("end");
}

inline std::string Simple(const std::string& code, const std::string& resultRuns) {
  return "<w:fldSimple w:instr=\"" + Escape(code) + "\">" + resultRuns + "</w:fldSimple>";
}

// An abbreviation field for abb meaning text with the direction tag tag ("LTR", "RTL", or
// empty), showing display.
inline std::string AbbField(const std::string& abb, const std::string& text, const std::string& tag,
                            const std::string& display) {
  return Fld(" ADDIN ABBREV <ABB>" + abb + "</ABB><Text>" + text + "</Text><Direction>" + tag +
                 "</Direction></ABBREV> ",
             R(display));
}

// An abbreviation field as insertion leaves it, showing its placeholder.
inline std::string Placeholder(const std::string& abb, const std::string& text,
                               const std::string& tag = "LTR") {
  return AbbField(abb, text, tag, "{" + abb + "-#}");
}

// A run holding a page break.
inline std::string PageBreak() {
  return "<w:r><w:br w:type=\"page\"/></w:r>";
}

// A level of a numbering definition: level ilvl in format, labelled text, counting from start,
// with more of the level's properties.
inline std::string Lvl(int ilvl, const std::string& format, const std::string& text, int start = 1,
                       const std::string& more = "") {
  return "<w:lvl w:ilvl=\"" + std::to_string(ilvl) + "\"><w:start w:val=\"" +
         std::to_string(start) + "\"/><w:numFmt w:val=\"" + format + "\"/><w:lvlText w:val=\"" +
         text + "\"/>" + more + "</w:lvl>";
}

// A list numId of the numbering definition abstractId, with more of the list's properties.
inline std::string Num(int numId, int abstractId, const std::string& more = "") {
  return "<w:num w:numId=\"" + std::to_string(numId) + "\"><w:abstractNumId w:val=\"" +
         std::to_string(abstractId) + "\"/>" + more + "</w:num>";
}

// A paragraph of text in list numId at level ilvl.
inline std::string ListP(const std::string& text, int numId, int ilvl = 0) {
  return P(R(text), "<w:numPr><w:ilvl w:val=\"" + std::to_string(ilvl) + "\"/><w:numId w:val=\"" +
                        std::to_string(numId) + "\"/></w:numPr>");
}

// A table of rows given as cells, each row with as many cells as it lists.
inline std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::string xml = "<w:tbl>";
  for (const auto& row : rows) {
    xml += "<w:tr>";
    for (const std::string& cell : row) xml += "<w:tc>" + P(R(cell)) + "</w:tc>";
    xml += "</w:tr>";
  }
  return xml + "</w:tbl>";
}

// A table of rows x columns cells, each reading cellPrefix, its row and its column ("c01").
inline std::string Tbl(int rows, int columns, const std::string& cellPrefix = "c") {
  std::vector<std::vector<std::string>> cells(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c)
      cells[r].push_back(cellPrefix + std::to_string(r) + std::to_string(c));
  }
  return Table(cells);
}

// Returns a main document part around body, declared in encoding (which body's bytes must
// be in).
inline std::string DocumentXml(const std::string& body, const std::string& encoding = "UTF-8") {
  return "<?xml version=\"1.0\" encoding=\"" + encoding +
         "\" standalone=\"yes\"?>\n"
         "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<w:body>" +
         body +
         "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1134\" "
         "w:right=\"1134\" w:bottom=\"1134\" w:left=\"1134\"/></w:sectPr></w:body></w:document>";
}

// Returns open repeated count times, then inner, then close repeated count times.
inline std::string Nested(int count, const std::string& open, const std::string& inner,
                          const std::string& close) {
  std::string xml;
  for (int i = 0; i < count; ++i) xml += open;
  xml += inner;
  for (int i = 0; i < count; ++i) xml += close;
  return xml;
}

// A part the main document refers to (numbering, footnotes, styles): its file under word/, the
// last segment of its relationship and content types ("numbering", "footnotes"), and the inside
// of its root element w:<root>.
struct RelatedPart {
  std::string type;
  std::string root;
  std::string inner;
};

// Returns the parts (name, bytes) of a package whose main part holds documentXml as it stands
// (any encoding, any bytes), with the related parts, their relationships and content types.
inline std::vector<std::pair<std::string, std::string>> DocxParts(
    const std::string& documentXml, const std::vector<RelatedPart>& related = {}) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  const std::string wml = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
  const std::string relationships =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  std::string types =
      declaration +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"" +
      wml + "document.main+xml\"/>";
  std::string rels =
      declaration +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  std::vector<std::pair<std::string, std::string>> parts = {
      {"_rels/.rels", rels + "<Relationship Id=\"rId1\" Type=\"" + relationships +
                          "officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
      {"word/document.xml", documentXml}};
  int id = 0;
  for (const RelatedPart& part : related) {
    types += "<Override PartName=\"/word/" + part.type + ".xml\" ContentType=\"" + wml + part.type +
             "+xml\"/>";
    rels += "<Relationship Id=\"rId" + std::to_string(++id) + "\" Type=\"" + relationships +
            part.type + "\" Target=\"" + part.type + ".xml\"/>";
    parts.emplace_back(
        "word/" + part.type + ".xml",
        declaration + "<w:" + part.root +
            " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">" +
            part.inner + "</w:" + part.root + ">");
  }
  parts.insert(parts.begin(), {"[Content_Types].xml", types + "</Types>"});
  if (!related.empty())
    parts.emplace_back("word/_rels/document.xml.rels", rels + "</Relationships>");
  return parts;
}

// Returns .docx bytes whose main part holds documentXml as it stands.
inline std::string MakeDocxAround(const std::string& documentXml) {
  return Package::Create(DocxParts(documentXml));
}

// Returns .docx bytes with body as the document body.
inline std::string MakeDocx(const std::string& body) {
  return MakeDocxAround(DocumentXml(body));
}

// Returns .docx bytes with body as the document body and the related parts.
inline std::string MakeDocxWith(const std::string& body, const std::vector<RelatedPart>& related) {
  return Package::Create(DocxParts(DocumentXml(body), related));
}

inline std::unique_ptr<Document> Load(const std::string& body) {
  return Document::FromBytes(MakeDocx(body));
}

}  // namespace quillon::docx::testing
