#include "bench/wordhost/DocumentGenerator.h"

#include "wordhost/docx/Package.h"

namespace quillon::bench {
namespace {

constexpr const char* kWords[] = {"the",    "report", "covers", "health",  "policy", "data",
                                  "across", "member", "states", "and",     "notes",  "recent",
                                  "trends", "in",     "public", "spending"};

std::string Run(const std::string& text) {
  return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

std::string Field(int entry) {
  std::string abb = GeneratedAbbreviation(entry);
  std::string code = " ADDIN ABBREV &lt;ABB&gt;" + abb + "&lt;/ABB&gt;&lt;Text&gt;" +
                     GeneratedMeaning(entry) +
                     "&lt;/Text&gt;&lt;Direction&gt;LTR&lt;/Direction&gt;&lt;/ABBREV&gt; ";
  return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
         "<w:r><w:instrText xml:space=\"preserve\">" +
         code +
         "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
         "<w:r><w:t>{" +
         abb + "-#" + std::to_string(entry + 1) +
         "}</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

}  // namespace

std::string GeneratedAbbreviation(int i) {
  // Letters only, so that abbreviations never contain digits that look like entry numbers.
  std::string abb = "AB";
  do {
    abb.push_back(static_cast<char>('A' + i % 26));
    i /= 26;
  } while (i > 0);
  return abb;
}

std::string GeneratedMeaning(int i) {
  return "Meaning number " + std::to_string(i) + " in full";
}

std::string GenerateAbbreviationDocument(const GeneratedDocumentShape& shape) {
  std::string body;
  body.reserve(static_cast<size_t>(shape.pages) * shape.paragraphsPerPage *
               (shape.wordsPerParagraph * 8 + 600));
  int placed = 0;
  int wordIndex = 0;
  for (int page = 0; page < shape.pages; ++page) {
    // Fields placed by the end of this page, spread evenly.
    int target = static_cast<int>(static_cast<long long>(shape.fields) * (page + 1) / shape.pages);
    for (int p = 0; p < shape.paragraphsPerPage; ++p) {
      body += "<w:p>";
      if (p == 0 && page > 0) body += "<w:r><w:br w:type=\"page\"/></w:r>";
      int paragraphTarget = placed + (target - placed) / (shape.paragraphsPerPage - p) +
                            ((target - placed) % (shape.paragraphsPerPage - p) != 0 ? 1 : 0);
      int fieldsHere = paragraphTarget - placed;
      int wordsPerGap = shape.wordsPerParagraph / (fieldsHere + 1);
      for (int f = 0; f <= fieldsHere; ++f) {
        std::string text;
        for (int w = 0; w < wordsPerGap; ++w) {
          text += kWords[wordIndex++ % std::size(kWords)];
          text += ' ';
        }
        body += Run(text);
        if (f < fieldsHere) {
          int entry = placed++ % shape.distinctEntries;
          body += shape.plainText ? Run(GeneratedAbbreviation(entry) + " ") : Field(entry);
        }
      }
      body += "</w:p>";
    }
  }
  std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>" +
      body +
      "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1134\" w:right=\"1134\" "
      "w:bottom=\"1134\" w:left=\"1134\" w:header=\"709\" w:footer=\"709\" w:gutter=\"0\"/>"
      "</w:sectPr></w:body></w:document>";
  std::string types =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
  std::string rels =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
  return docx::Package::Create(
      {{"[Content_Types].xml", types}, {"_rels/.rels", rels}, {"word/document.xml", document}});
}

}  // namespace quillon::bench
