// A library test's surroundings: fresh application state, a scripted message box, a temporary
// folder, and libraries in either table layout.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/AddinState.h"
#include "library/LibraryFiles.h"
#include "library/SQLlite.h"
#include "support/ScriptedMessageBox.h"
#include "support/Sql.h"
#include "support/TempDir.h"

namespace quillon::library {

using testing::ExecSql;

// Returns the entries of the library at path as "direction|abb|abbtext", ordered by
// abbreviation and meaning, to compare them whole.
inline std::vector<std::string> LibraryEntries(const std::string& path) {
  QueryResult rows = QueryLibrary(path,
                                  "select direction || '|' || abb || '|' || abbtext from "
                                  "abbreviations order by abb, abbtext");
  std::vector<std::string> entries;
  for (int32_t row = 2; row <= rows.RowCount + 1; ++row) entries.push_back(rows.Cells(row, 1));
  return entries;
}

class LibraryTest : public ::testing::Test {
 protected:
  LibraryTest() {
    ResetState();
    State().AddinTitle = kAddinTitle;
  }
  ~LibraryTest() override { ResetState(); }

  // Writes the template (the layout with a numbered entry column) and opens it.
  std::string TemplateLibrary(const std::string& name = "template.abb") {
    std::string path = dir.File(name);
    extractEmptyDatabase(path);
    State().LibraryPath = path;
    return path;
  }

  // Creates a library as the manager's New command does (five-column layout) and opens it.
  std::string NewLibrary(const std::string& name = "new.abb") {
    std::string path = dir.File(name);
    EXPECT_EQ(CreateLibrary(path), CreateOutcome::kCreated);
    return path;
  }

  testing::TempDir dir;
  testing::ScriptedMessageBox messages;
};

}  // namespace quillon::library
