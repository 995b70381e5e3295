// A document test's surroundings: a library holding a few entries, a scripted message box,
// and a .docx document built from body XML, open in the substitute Word.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "library/AddinState.h"
#include "library/LibraryFiles.h"
#include "library/SQLlite.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"
#include "wordhost/docx/Application.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::document {

using docx::testing::AbbField;
using docx::testing::Fld;
using docx::testing::P;
using docx::testing::PageBreak;
using docx::testing::Placeholder;
using docx::testing::R;
using docx::testing::Table;

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest() {
    library::ResetState();
    library::State().AddinTitle = library::kAddinTitle;
    library::CreateLibrary(dir.File("lib.abb"));
  }
  ~DocumentTest() override { library::ResetState(); }

  static void AddEntry(std::string abb, std::string text, const char* direction = "L") {
    library::CheckAbbrevExistance_Add_todB(library::State().LibraryPath, abb, text, direction,
                                           false);
  }

  void Open(const std::string& body) { word.SetDocument(docx::testing::Load(body)); }

  docx::Document& doc() { return *word.document(); }
  // What the main text shows, paragraphs ending in "\r".
  std::string Shown() { return doc().Range()->Text(); }
  // The result texts of every field, in order.
  std::vector<std::string> Results() {
    std::vector<std::string> results;
    for (long i = 1; i <= doc().Fields().Count(); ++i) {
      results.push_back(doc().Fields().Item(i)->Result()->Text());
    }
    return results;
  }
  std::string Code(long index) { return doc().Fields().Item(index)->Code()->Text(); }

  testing::TempDir dir;
  testing::ScriptedMessageBox messages;
  docx::Application word;
};

}  // namespace quillon::document
