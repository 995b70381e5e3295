#include "cli/LibraryCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/ReadOnly.h"
#include "support/Sql.h"
#include "support/TempDir.h"

namespace quillon::cli {
namespace {

using testing::ExecSql;
using ::testing::HasSubstr;
using ::testing::Not;

class LibraryCommandsTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string lib = dir.File("lib.abb");
};

TEST_F(LibraryCommandsTest, NewAddListEditDeleteFind) {
  Succeeds({"lib", "new", dir.File("lib")});
  // An empty listing has the same header.
  EXPECT_EQ(Succeeds({"lib", "list", lib}), "L/R  Abbreviation  Text\n 0 abbreviations found\n");

  Succeeds({"lib", "add", lib, "WHO", "World Health Organization"});
  Succeeds({"lib", "add", lib, "PD", "Parkinson's disease"});
  Succeeds({"lib", "add", lib, "AR", "עברית", "--rtl"});
  // What add and edit refuse is the library's rule; here, how a refusal reads and that it leaves
  // the library as it was, as does a new library over it without --force.
  const std::string filled = testing::ReadFile(lib);
  EXPECT_EQ(RunQuillon({"lib", "add", lib, " who ", "world  health organization"}),
            Refused("Quillon plugin: Abbreviation already exists\n"));
  EXPECT_EQ(
      RunQuillon({"lib", "edit", lib, "PD", "Parkinson's disease", "--text", "x</DIRECTION>"}),
      Refused("Quillon plugin: The meaning cannot hold \"</DIRECTION>\": the abbreviation "
              "fields of documents use that tag\n"));
  EXPECT_EQ(RunQuillon({"lib", "new", lib}),  // ".abb" was added
            Refused("Quillon plugin: File already exist, overwrite\n  -> No\n"
                    "quillon: nothing written; pass --force to overwrite\n"));
  EXPECT_EQ(testing::ReadFile(lib), filled);

  EXPECT_EQ(Succeeds({"lib", "list", lib, "--sort", "abb", "--desc"}),
            "L/R  Abbreviation  Text\n"
            "L    WHO           World Health Organization\n"
            "L    PD            Parkinson's disease\n"
            "R    AR            עברית\n"
            " 3 abbreviations found\n");

  Succeeds({"lib", "edit", lib, "PD", "Parkinson's disease", "--text", "Parkinson \"disease\"",
            "--direction", "R"});
  EXPECT_THAT(Succeeds({"lib", "list", lib, "--sort", "text", "--json"}),
              HasSubstr(R"({"direction": "R", "abb": "PD", "text": "Parkinson \"disease\""})"));
  EXPECT_EQ(Succeeds({"lib", "find", lib, "q"}), "WHO\tWorld Health Organization\n");
  EXPECT_EQ(RunQuillon({"lib", "find", lib, "zzz"}),
            Refused("quillon: no abbreviation sorts at or after \"ZZZ\"\n"));
  // What the edit does not name stays as it was.
  Succeeds({"lib", "edit", lib, "WHO", "World Health Organization", "--abb", "who"});
  EXPECT_THAT(
      RunQuillon({"lib", "list", lib, "--json"}).out,
      HasSubstr(R"({"direction": "L", "abb": "who", "text": "World Health Organization"})"));

  EXPECT_EQ(RunQuillon({"lib", "delete", lib, "PD", "Parkinson's disease"}),
            Refused("quillon: " + lib + " has no entry \"PD\" meaning \"Parkinson's disease\"\n"));
  Succeeds({"lib", "delete", lib, " PD ", "Parkinson \"disease\""});
  EXPECT_THAT(RunQuillon({"lib", "list", lib}).out, HasSubstr(" 2 abbreviations found"));
  Succeeds({"lib", "new", lib, "--force"});
  EXPECT_THAT(RunQuillon({"lib", "list", lib}).out, HasSubstr(" 0 abbreviations found"));
}

// Wide characters take two columns, combining marks none.
TEST_F(LibraryCommandsTest, ListingLinesUpWideAndCombiningCharacters) {
  Succeeds({"lib", "new", lib});
  for (auto [abb, text] : {std::pair{"日本", "漢字"}, std::pair{"e\u0301t\u00e9", "accents"},
                           std::pair{"AB", "plain"}}) {
    Succeeds({"lib", "add", lib, abb, text});
  }
  EXPECT_EQ(RunQuillon({"lib", "list", lib}).out,
            "L/R  Abbreviation  Text\n"
            "L    日本          漢字\n"
            "L    e\u0301t\u00e9           accents\n"
            "L    AB            plain\n"
            " 3 abbreviations found\n");
}

// Usage errors of every command exit with 2 before anything is read or written; --help on any
// level exits with 0.
TEST_F(LibraryCommandsTest, UsageErrorsExitTwoAndHelpZero) {
  const std::string doc = dir.File("doc.docx");
  struct Case {
    std::vector<std::string> args;
    std::string err;  // part of the message, when it is checked
  } cases[] = {
      {{}, ""},
      {{"lib"}, ""},
      {{"frobnicate"}, "quillon: unknown command \"frobnicate\"\n"},
      {{"lib", "frob", lib}, "quillon: unknown command \"frob\"\n"},
      {{"lib", "add", lib, "ONLY"}, ""},
      {{"lib", "list", lib, "--sort", "size"}, ""},
      {{"lib", "list", lib, "--desc"}, ""},
      {{"lib", "add", lib, "   ", "blank"}, "ABB: must not be empty"},
      {{"lib", "edit", lib, "A", "a", "--abb", "  "}, ""},
      {{"lib", "edit", lib, "A", "a", "--direction", "X"}, ""},
      {{"insert", doc, "--library", lib, "--abb", "A", "--text", "a"}, ""},  // no place
      {{"insert", doc, "--library", lib, "--abb", "A", "--text", "a", "--at", "3", "--after", "x"},
       ""},
  };
  for (const Case& c : cases) {
    CliRun run = RunQuillon(c.args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(c.args);
    EXPECT_THAT(run.err, HasSubstr(c.err)) << ::testing::PrintToString(c.args);
  }
  for (std::vector<std::string> args :
       std::vector<std::vector<std::string>>{{"--help"}, {"lib", "edit", "--help"}}) {
    CliRun help = RunQuillon(args);
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("Usage")) << ::testing::PrintToString(args);
  }
  EXPECT_FALSE(std::filesystem::exists(lib));
  // The help names each value once.
  EXPECT_THAT(RunQuillon({"lib", "add", "--help"}).out,
              ::testing::AllOf(HasSubstr("  ABB REQUIRED "), Not(HasSubstr("TEXT:TEXT")),
                               Not(HasSubstr("TEXT TEXT"))));
}

// The failures themselves are the library's; each command exits with 1 and changes nothing.
TEST_F(LibraryCommandsTest, BadLibrariesFailNamingTheFileAndStayUnchanged) {
  std::string notDb = dir.File("notes.abb");
  testing::WriteFile(notDb, "These are my notes, not a database.\n");
  std::string noTable = dir.File("other.abb");
  ExecSql(noTable, "create table other (x)");
  std::string readOnly = dir.File("readonly.abb");
  Succeeds({"lib", "new", readOnly});
  Succeeds({"lib", "add", readOnly, "A", "a"});
  testing::MakeReadOnly(readOnly);
  std::string gone = dir.File("gone.abb");

  struct Case {
    std::string path;
    std::vector<std::string> command;
  } cases[] = {
      {notDb, {"list"}},
      {noTable, {"edit", "A", "a", "--abb", "B"}},
      {readOnly, {"add", "B", "b"}},
      {readOnly, {"new", "--force"}},
      {gone, {"add", "A", "a"}},
      {gone, {"delete", "A", "a"}},
      {gone, {"find", "A"}},
  };
  for (const Case& c : cases) {
    std::string before = testing::ReadFile(c.path);
    std::vector<std::string> args = {"lib", c.command[0], c.path};
    args.insert(args.end(), c.command.begin() + 1, c.command.end());
    CliRun run = RunQuillonAsNobody(args);
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr(c.path)) << ::testing::PrintToString(args);
    EXPECT_EQ(testing::ReadFile(c.path), before) << ::testing::PrintToString(args);
  }
  EXPECT_FALSE(std::filesystem::exists(gone));
  EXPECT_THAT(RunQuillon({"lib", "list", readOnly}).out, Not(HasSubstr("B")));
}

}  // namespace
}  // namespace quillon::cli
