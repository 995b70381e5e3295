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
};

TEST_F(LibraryCommandsTest, NewAddListEditDeleteFind) {
  std::string lib = dir.File("lib.abb");
  EXPECT_EQ(RunQuillon({"lib", "new", dir.File("lib")}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "new", lib}).status, 1);  // ".abb" was added
  EXPECT_EQ(RunQuillon({"lib", "new", lib, "--force"}).status, 0);

  EXPECT_EQ(RunQuillon({"lib", "add", lib, "WHO", "World Health Organization"}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "add", lib, "PD", "Parkinson's disease"}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "add", lib, "AR", "עברית", "--rtl"}).status, 0);

  CliRun list = RunQuillon({"lib", "list", lib, "--sort", "abb", "--desc"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out,
            "L/R  Abbreviation  Text\n"
            "L    WHO           World Health Organization\n"
            "L    PD            Parkinson's disease\n"
            "R    AR            עברית\n"
            " 3 abbreviations found\n");

  EXPECT_EQ(RunQuillon({"lib", "edit", lib, "PD", "Parkinson's disease", "--text",
                        "Parkinson \"disease\"", "--direction", "R"})
                .status,
            0);
  CliRun json = RunQuillon({"lib", "list", lib, "--sort", "text", "--json"});
  EXPECT_THAT(json.out,
              HasSubstr(R"({"direction": "R", "abb": "PD", "text": "Parkinson \"disease\""})"));
  CliRun find = RunQuillon({"lib", "find", lib, "q"});
  EXPECT_EQ(find.status, 0);
  EXPECT_EQ(find.out, "WHO\tWorld Health Organization\n");

  CliRun missing = RunQuillon({"lib", "delete", lib, "PD", "Parkinson's disease"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("has no entry"));
  EXPECT_EQ(RunQuillon({"lib", "delete", lib, " PD ", "Parkinson \"disease\""}).status, 0);
  EXPECT_THAT(RunQuillon({"lib", "list", lib}).out, HasSubstr(" 2 abbreviations found"));
}

TEST_F(LibraryCommandsTest, UsageErrorsExitTwoAndHelpZero) {
  std::string lib = dir.File("lib.abb");
  for (std::vector<std::string> args :
       std::vector<std::vector<std::string>>{{},
                                             {"lib"},
                                             {"lib", "add", lib, "ONLY"},
                                             {"lib", "list", lib, "--sort", "size"},
                                             {"lib", "list", lib, "--desc"},
                                             {"lib", "add", lib, "", "empty"},
                                             {"lib", "add", lib, "   ", "blank"},
                                             {"lib", "edit", lib, "A", "a", "--abb", "  "},
                                             {"lib", "edit", lib, "A", "a", "--direction", "X"},
                                             {"nonsense"}}) {
    EXPECT_EQ(RunQuillon(args).status, 2) << ::testing::PrintToString(args);
  }
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--help"}, {"lib", "--help"}, {"lib", "list", "--help"}, {"lib", "edit", "--help"}}) {
    CliRun help = RunQuillon(args);
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("Usage")) << ::testing::PrintToString(args);
  }
  EXPECT_FALSE(std::filesystem::exists(lib));
}

TEST_F(LibraryCommandsTest, LibraryMadeInTheSqliteShellWorks) {
  std::string lib = dir.File("shell.abb");
  ExecSql(
      lib,
      "CREATE TABLE abbreviations (entry INTEGER PRIMARY KEY, direction TEXT, abb TEXT, abbtext "
      "TEXT); INSERT INTO abbreviations (direction, abb, abbtext) VALUES ('L', 'ABC', 'alpha');");
  EXPECT_EQ(RunQuillon({"lib", "add", lib, "ABC", "beta"}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "edit", lib, "ABC", "alpha", "--abb", "ABD"}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "find", lib, "ABD"}).out, "ABD\talpha\n");
  EXPECT_EQ(RunQuillon({"lib", "delete", lib, "ABC", "beta"}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "list", lib}).out,
            "L/R  Abbreviation  Text\nL    ABD           alpha\n 1 abbreviations found\n");
}

TEST_F(LibraryCommandsTest, BadLibrariesFailNamingTheFileAndStayUnchanged) {
  std::string notDb = dir.File("notes.abb");
  testing::WriteFile(notDb, "These are my notes, not a database.\n");
  std::string noTable = dir.File("other.abb");
  ExecSql(noTable, "create table other (x)");
  std::string readOnly = dir.File("readonly.abb");
  ASSERT_EQ(RunQuillon({"lib", "new", readOnly}).status, 0);
  ASSERT_EQ(RunQuillon({"lib", "add", readOnly, "A", "a"}).status, 0);
  testing::MakeReadOnly(readOnly);
  std::string gone = dir.File("gone.abb");

  struct Case {
    std::string path;
    std::vector<std::string> command;
  } cases[] = {
      {notDb, {"list"}},
      {notDb, {"add", "A", "a"}},
      {noTable, {"list"}},
      {noTable, {"add", "A", "a"}},
      {noTable, {"edit", "A", "a", "--abb", "B"}},
      {readOnly, {"add", "B", "b"}},
      {readOnly, {"new", "--force"}},
      {gone, {"list"}},
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

// Library faults and refusals of the library commands; each leaves the library as it was.
class LibraryRefusalsTest : public LibraryCommandsTest {
 protected:
  LibraryRefusalsTest() : lib(dir.File("lib.abb")) {
    EXPECT_EQ(RunQuillon({"lib", "new", lib}).status, 0);
    for (auto [abb, text] : {std::pair{"FFT", "Fast Fourier Transform"},
                             std::pair{"DFT", "Discrete Fourier Transform"}}) {
      EXPECT_EQ(RunQuillon({"lib", "add", lib, abb, text}).status, 0);
    }
  }
  std::string lib;
};

TEST_F(LibraryRefusalsTest, EditAndAddRefuseDuplicatesBlanksAndMarkupTags) {
  const std::string duplicate = "Quillon plugin: Abbreviation already exists\n";
  struct Case {
    std::vector<std::string> args;  // after "lib" and the command; the library goes first
    std::string err;
  } cases[] = {
      {{"edit", "DFT", "Discrete Fourier Transform", "--abb", "FFT", "--text",
        "Fast Fourier Transform"},
       duplicate},
      {{"edit", "DFT", "Discrete Fourier Transform", "--abb", " FFT ", "--text",
        "Fast  Fourier Transform "},
       duplicate},
      {{"edit", "DFT", "Discrete Fourier Transform", "--abb", "fft", "--text",
        "FAST FOURIER TRANSFORM"},
       duplicate},
      {{"add", " fft ", "fast  fourier transform"}, duplicate},
      {{"add", "A</ABB>", "a"},
       "Quillon plugin: The abbreviation cannot hold \"</ABB>\": the abbreviation fields of "
       "documents use that tag\n"},
      {{"add", "A", "an <text> inside"},
       "Quillon plugin: The meaning cannot hold \"<text>\": the abbreviation fields of documents "
       "use that tag\n"},
      {{"edit", "DFT", "Discrete Fourier Transform", "--text", "x</DIRECTION>"},
       "Quillon plugin: The meaning cannot hold \"</DIRECTION>\": the abbreviation fields of "
       "documents use that tag\n"},
  };
  const std::string before = testing::ReadFile(lib);
  for (const Case& c : cases) {
    std::vector<std::string> args = {"lib", c.args[0], lib};
    args.insert(args.end(), c.args.begin() + 1, c.args.end());
    CliRun run = RunQuillon(args);
    EXPECT_EQ(run, Refused(c.err)) << ::testing::PrintToString(args);
    EXPECT_EQ(testing::ReadFile(lib), before) << ::testing::PrintToString(args);
  }
  CliRun blank = RunQuillon({"lib", "add", lib, "   ", "x"});
  EXPECT_EQ(blank.status, 2);
  EXPECT_THAT(blank.err, HasSubstr("ABB: must not be empty"));
  EXPECT_EQ(testing::ReadFile(lib), before);

  // The entry itself is no duplicate: its direction and the case of its letters may change,
  // and new values lose their surrounding blanks.
  EXPECT_EQ(RunQuillon({"lib", "edit", lib, "DFT", "Discrete Fourier Transform", "--abb", " dft ",
                        "--direction", "R"})
                .status,
            0);
  EXPECT_THAT(RunQuillon({"lib", "list", lib, "--sort", "abb"}).out,
              HasSubstr("R    dft           Discrete Fourier Transform\n"));
}

TEST_F(LibraryRefusalsTest, FindWithNothingTypedGivesTheFirstEntry) {
  CliRun first = RunQuillon({"lib", "find", lib, ""});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "DFT\tDiscrete Fourier Transform\n");
  EXPECT_EQ(RunQuillon({"lib", "find", lib, "zzz"}),
            Refused("quillon: no abbreviation sorts at or after \"ZZZ\"\n"));
}

// The messages as a user reads them.
TEST_F(LibraryRefusalsTest, MessagesReadWell) {
  EXPECT_EQ(RunQuillon({"lib", "new", lib}),
            Refused("Quillon plugin: File already exist, overwrite\n  -> No\n"
                    "quillon: nothing written; pass --force to overwrite\n"));

  // Every listing has the same header, also an empty one.
  std::string empty = dir.File("empty.abb");
  ASSERT_EQ(RunQuillon({"lib", "new", empty}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "list", empty}).out,
            "L/R  Abbreviation  Text\n 0 abbreviations found\n");

  // Wide characters take two columns, combining marks none.
  std::string wide = dir.File("wide.abb");
  ASSERT_EQ(RunQuillon({"lib", "new", wide}).status, 0);
  for (auto [abb, text] : {std::pair{"日本", "漢字"}, std::pair{"😀", "smile"},
                           std::pair{"e\u0301t\u00e9", "accents"}, std::pair{"AB", "plain"}}) {
    ASSERT_EQ(RunQuillon({"lib", "add", wide, abb, text}).status, 0);
  }
  EXPECT_EQ(RunQuillon({"lib", "list", wide}).out,
            "L/R  Abbreviation  Text\n"
            "L    日本          漢字\n"
            "L    😀            smile\n"
            "L    e\u0301t\u00e9           accents\n"
            "L    AB            plain\n"
            " 4 abbreviations found\n");

  // The help names each value once.
  CliRun help = RunQuillon({"lib", "add", "--help"});
  EXPECT_THAT(help.out, HasSubstr("  ABB REQUIRED "));
  EXPECT_THAT(help.out, Not(HasSubstr("TEXT:TEXT")));
  EXPECT_THAT(help.out, Not(HasSubstr("TEXT TEXT")));
}

}  // namespace
}  // namespace quillon::cli
