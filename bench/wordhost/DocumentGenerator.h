// Generates large .docx documents full of abbreviation fields, for benchmarks and for runs of
// the add-in on a document of realistic size.
#pragma once

#include <string>

namespace quillon::bench {

struct GeneratedDocumentShape {
  int pages = 1000;           // pages, each ended by a page break
  int fields = 20000;         // abbreviation fields, spread evenly over the pages
  int distinctEntries = 500;  // fields cycle through this many library entries
  int paragraphsPerPage = 6;
  int wordsPerParagraph = 70;
  bool plainText = false;  // each field's place holds its abbreviation as plain text instead
};

// Returns the library entry i of a generated document: its abbreviation ("AB" + number in
// letters) and meaning; i in [0, distinctEntries).
std::string GeneratedAbbreviation(int i);
std::string GeneratedMeaning(int i);

// Returns the bytes of a .docx with shape: text paragraphs in which the fields stand, each an
// ADDIN ABBREV field with code " ADDIN ABBREV <ABB>X</ABB><Text>meaning</Text>
// <Direction>LTR</Direction></ABBREV> " showing the placeholder "{X-#N}" (N = entry + 1).
std::string GenerateAbbreviationDocument(const GeneratedDocumentShape& shape = {});

}  // namespace quillon::bench
