#include "cli/LibraryCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "cli/CliRunner.h"
#include "support/ReadOnly.h"
#include "support/TempDir.h"

namespace quillon::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class LibraryCommandsTest : public ::testing::Test {
 protected:
  static void Exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
  }
  testing::TempDir dir;
};

TEST_F(LibraryCommandsTest, NewAddListEditDeleteFind) {
  std::string lib = dir.File("lib.abb");
  EXPECT_EQ(RunQuillon({"lib", "new", dir.File("lib")}).status, 0);  // ".abb" is added
  CliRun again = RunQuillon({"lib", "new", lib});
  EXPECT_EQ(again.status, 1);
  EXPECT_THAT(again.err, HasSubstr("Quillon plugin: File already exist, overwrite"));
  EXPECT_EQ(RunQuillon({"lib", "new", lib, "--force"}).status, 0);

  EXPECT_EQ(RunQuillon({"lib", "add", lib, "WHO", "World Health Organization"}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "add", lib, "PD", "Parkinson's disease"}).status, 0);
  EXPECT_EQ(RunQuillon({"lib", "add", lib, "AR", "עברית", "--rtl"}).status, 0);
  CliRun duplicate = RunQuillon({"lib", "add", lib, "who ", "world health organization"});
  EXPECT_EQ(duplicate.status, 1);
  EXPECT_EQ(duplicate.err, "Quillon plugin: Abbreviation already exists\n");

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
  EXPECT_EQ(RunQuillon({"lib", "find", lib, "zzz"}).status, 1);

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
  Exec(lib,
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
  Exec(noTable, "create table other (x)");
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
    CliRun run;
    {
      testing::ScopedUnprivileged asNobody;
      run = RunQuillon(args);
    }
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr(c.path)) << ::testing::PrintToString(args);
    EXPECT_EQ(testing::ReadFile(c.path), before) << ::testing::PrintToString(args);
  }
  EXPECT_FALSE(std::filesystem::exists(gone));
  EXPECT_THAT(RunQuillon({"lib", "list", readOnly}).out, Not(HasSubstr("B")));
}

}  // namespace
}  // namespace quillon::cli
