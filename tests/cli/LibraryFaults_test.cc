// Document commands over libraries that fail them: write-protected, locked by another program,
// of the wrong shape, missing entries, failing in the middle of a command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/CliRunner.h"
#include "support/DocumentFiles.h"
#include "support/LibraryLock.h"
#include "support/ReadOnly.h"
#include "support/SampleFiles.h"
#include "support/Sql.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

using testing::ExecSql;
using testing::Shown;

// Runs each command as a quillon program of its own, all at the same time, and returns how
// each ended. REQUIRES: no argument holds a single quote.
std::vector<CliRun> RunTogether(const std::vector<std::vector<std::string>>& commands,
                                const testing::TempDir& dir) {
  std::string script;
  for (size_t i = 0; i < commands.size(); ++i) {
    std::string line = "'" QUILLON_BINARY_DIR "/src/cli/quillon'";
    for (const std::string& arg : commands[i]) line += " '" + arg + "'";
    std::string files = dir.File("run-" + std::to_string(i));
    script += "(" + line + " >'" + files + ".out' 2>'" + files + ".err'; echo $? >'" + files +
              ".status') & ";
  }
  EXPECT_EQ(std::system((script + "wait").c_str()), 0);
  std::vector<CliRun> runs(commands.size());
  for (size_t i = 0; i < commands.size(); ++i) {
    std::string files = dir.File("run-" + std::to_string(i));
    runs[i] = {std::atoi(testing::ReadFile(files + ".status").c_str()),
               testing::ReadFile(files + ".out"), testing::ReadFile(files + ".err")};
  }
  return runs;
}

class LibraryFaultsTest : public ::testing::Test, protected testing::SampleFiles {
 protected:
  LibraryFaultsTest() {
    // Open to look into, for the cases that run as another user.
    fs::permissions(dir.Path(), fs::perms(0755));
  }
};

// Row: a library the user may only read still updates and lists a document.
TEST_F(LibraryFaultsTest, WriteProtectedLibraryStillUpdatesAndLists) {
  std::string expected = dir.File("expected.docx");
  Succeeds({"update", document, "--library", library, "-o", expected});
  Succeeds({"list", expected, "--library", library});

  // The library in a folder of its own, both write-protected; the results go elsewhere.
  fs::create_directory(dir.File("protected"));
  std::string protectedLibrary = dir.File("protected/sample.abb");
  fs::copy_file(library, protectedLibrary);
  testing::MakeReadOnly(protectedLibrary);
  fs::create_directory(dir.File("out"));
  fs::permissions(dir.File("out"), fs::perms::all);
  const std::string libraryBytes = testing::ReadFile(protectedLibrary);
  const std::string documentBytes = testing::ReadFile(document);
  std::string updated = dir.File("out/updated.docx");
  EXPECT_EQ(RunQuillonAsNobody({"update", document, "--library", protectedLibrary, "-o", updated}),
            (CliRun{0, "31 abbreviation fields, 31 rewritten\n",
                    "Quillon plugin: Abbrevations' formattings are updated according to their "
                    "position in text\n"}));
  EXPECT_EQ(RunQuillonAsNobody({"list", updated, "--library", protectedLibrary}),
            (CliRun{0, "", "Quillon plugin: Abbreviation list is updated\n"}));
  EXPECT_EQ(Shown(updated), Shown(expected));
  EXPECT_EQ(testing::ReadFile(protectedLibrary), libraryBytes);
  EXPECT_EQ(testing::ReadFile(document), documentBytes);
  EXPECT_FALSE(fs::exists(protectedLibrary + "-journal"));
}

// Row: an export into a library the user may only read says so, once, and writes nothing;
// the message is the library's, the status and the missing summary the command's.
TEST_F(LibraryFaultsTest, ExportIntoAWriteProtectedLibraryNamesTheCause) {
  std::string empty = dir.File("protected/empty.abb");
  fs::create_directory(dir.File("protected"));
  Succeeds({"lib", "new", empty});
  testing::MakeReadOnly(empty);
  const std::string before = testing::ReadFile(empty);
  CliRun run = RunQuillonAsNobody({"export", document, "--library", empty});
  // No summary over a command that failed.
  EXPECT_EQ(run, Refused("Quillon: error in adding field to database: the library " + empty +
                         " is read-only\n"));
  EXPECT_EQ(testing::ReadFile(empty), before);
}

// Row: a library without the columns is refused before anything is read.
TEST_F(LibraryFaultsTest, LibraryWithoutTheColumnsIsRefusedUpFront) {
  std::string xy = dir.File("xy.abb");
  ExecSql(xy, "create table abbreviations(x, y)");
  const std::string documentBytes = testing::ReadFile(document);
  const std::string libraryBytes = testing::ReadFile(xy);
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"update", document},
           {"list", document},
           {"export", document},
           {"unlink", document, "--abb", "FFT", "--text", "Fast Fourier Transform"},
           {"insert", document, "--abb", "A", "--text", "a", "--at", "3"}}) {
    args.insert(args.end(), {"--library", xy});
    EXPECT_EQ(RunQuillon(args), Refused("Quillon plugin: the table abbreviations of the library " +
                                        xy + " lacks the columns entry, direction, abb, abbtext\n"))
        << ::testing::PrintToString(args);
    EXPECT_EQ(testing::ReadFile(document), documentBytes);
    EXPECT_EQ(testing::ReadFile(xy), libraryBytes);
  }
}

// Row: the fields whose abbreviation the library lacks keep the direction of their code
// (the update's rule), and the command says once how many there are.
TEST_F(LibraryFaultsTest, FieldsMissingFromTheLibraryAreCountedOnce) {
  using docx::testing::P;
  using docx::testing::Placeholder;
  struct Case {
    std::string body, note;
  } cases[] = {
      {P(Placeholder("ABC", "Alpha Beta", "LTR") +
         Placeholder("FFT", "Fast Fourier Transform", "LTR")),
       "1 abbreviation field names an abbreviation the library lacks; it keeps the direction its "
       "code holds\n"},
      {P(Placeholder("ABC", "Alpha Beta", "RTL") + Placeholder("ABC", "Alpha Beta", "RTL") +
         Placeholder("XY", "Ex Why", "RTL")),
       "3 abbreviation fields name an abbreviation the library lacks; they keep the direction "
       "their codes hold\n"},
  };
  for (const Case& c : cases) {
    std::string path = dir.File("missing.docx");
    testing::WriteFile(path, docx::testing::MakeDocx(c.body));
    CliRun run = RunQuillon({"update", path, "--library", library});
    ASSERT_EQ(run.status, 0) << run.err;
    // The routine's own message comes last: it is printed once the document is saved.
    EXPECT_EQ(run.err, "quillon: note: " + c.note +
                           "Quillon plugin: Abbrevations' formattings are updated according to "
                           "their position in text\n");
  }
  CliRun sample = RunQuillon({"update", document, "--library", library});
  EXPECT_THAT(sample.err, ::testing::Not(HasSubstr("note")));
}

// The rule: a statement that fails in the middle of a document command ends it there, with
// that statement's message alone, and nothing is written.
TEST_F(LibraryFaultsTest, AStatementFailingMidwayEndsTheCommandAndWritesNothing) {
  // The library reads well until the direction of CNN, which the sample uses in its middle.
  std::string failing = dir.File("failing.abb");
  fs::copy_file(library, failing);
  ExecSql(
      failing,
      "alter table abbreviations rename to stored; create view abbreviations as select entry, "
      "case when abb = 'CNN' then json('not json') else direction end as direction, abb, abbtext "
      "from stored");
  const std::string documentBytes = testing::ReadFile(document);
  const std::string libraryBytes = testing::ReadFile(failing);
  for (const char* command : {"update", "list"}) {
    CliRun run = RunQuillon({command, document, "--library", failing});
    EXPECT_EQ(run, Refused("Quillon plugin: malformed JSON (library " + failing + ")\n"))
        << command;
    EXPECT_EQ(testing::ReadFile(document), documentBytes) << command;
    EXPECT_EQ(testing::ReadFile(failing), libraryBytes) << command;
  }

  // An export whose third insert fails keeps none of the two before it.
  std::string refusing = dir.File("refusing.abb");
  Succeeds({"lib", "new", refusing});
  ExecSql(refusing,
          "create trigger full before insert on abbreviations when (select count(*) from "
          "abbreviations) >= 2 begin select raise(abort, 'the library is full'); end");
  const std::string refusingBytes = testing::ReadFile(refusing);
  CliRun run = RunQuillon({"export", document, "--library", refusing});
  EXPECT_EQ(run, Refused("Quillon plugin: the library is full (library " + refusing + ")\n"));
  EXPECT_EQ(testing::ReadFile(refusing), refusingBytes);
}

// Row: an entry holding a tag of the field markup is not written into a field; the refusal is
// the document routine's, the status the command's.
TEST_F(LibraryFaultsTest, EntriesHoldingMarkupTagsAreNotWrittenIntoFields) {
  ExecSql(library,
          "insert into abbreviations (direction, abb, abbtext) values ('L', 'TAG', "
          "'a </Text> in it')");
  const std::string documentBytes = testing::ReadFile(document);
  CliRun run = RunQuillon({"insert", document, "--library", library, "--abb", "TAG", "--text",
                           "a </Text> in it", "--at", "3"});
  EXPECT_EQ(run, Refused("Quillon plugin: Skipped the entry \"TAG\" meaning \"a </Text> in it\": "
                         "it holds \"</Text>\", a tag of the abbreviation field's markup\n"));
  EXPECT_EQ(testing::ReadFile(document), documentBytes);
}

class LibraryConcurrencyTest : public LibraryFaultsTest {};

// Row: two updates of documents on one library at the same time both work; they only read it.
TEST_F(LibraryConcurrencyTest, TwoUpdatesOnOneLibraryBothWork) {
  std::string expected = dir.File("expected.docx");
  Succeeds({"update", document, "--library", library, "-o", expected});
  const std::string libraryBytes = testing::ReadFile(library);
  std::vector<std::string> outputs;
  std::vector<std::vector<std::string>> updates;
  for (int i = 0; i < 4; ++i) {
    outputs.push_back(dir.File("updated-" + std::to_string(i) + ".docx"));
    updates.push_back({"update", document, "--library", library, "-o", outputs.back()});
  }
  std::vector<CliRun> runs = RunTogether(updates, dir);
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].status, 0) << runs[i].err;
    EXPECT_EQ(std::count(runs[i].err.begin(), runs[i].err.end(), '\n'), 1) << runs[i].err;
    EXPECT_EQ(Shown(outputs[i]), Shown(expected));
  }
  EXPECT_EQ(testing::ReadFile(library), libraryBytes);
}

// A library locked for longer than the wait refuses the command with one message.
TEST_F(LibraryConcurrencyTest, UpdateRefusesALongLockWithOneMessage) {
  const std::string documentBytes = testing::ReadFile(document);
  CliRun run;
  {
    testing::LibraryLock lock(library, 6000);  // longer than a statement waits
    ASSERT_TRUE(lock.Held());
    run = RunQuillon({"update", document, "--library", library});
  }
  EXPECT_EQ(run, Refused("Quillon plugin: database is locked (library " + library + ")\n"));
  EXPECT_EQ(testing::ReadFile(document), documentBytes);
}

}  // namespace
}  // namespace quillon::cli
