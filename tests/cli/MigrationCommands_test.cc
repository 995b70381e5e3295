// Bringing a document in: import-table, scan, convert, then update and list; libraries to and
// from CSV.
#include "cli/MigrationCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/DocumentFiles.h"
#include "support/TempDir.h"
#include "wordhost/docx/Document.h"

namespace quillon::cli {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

using testing::Shown;

class MigrationCommandsTest : public ::testing::Test {
 protected:
  MigrationCommandsTest() {
    library = dir.File("chapter.abb");
    document = dir.File("chapter.docx");
    std::filesystem::copy_file(QUILLON_SOURCE_DIR "/tests/data/plain-chapter.docx", document);
    Succeeds({"lib", "new", library});
  }
  CliRun Lib(std::vector<std::string> args) {
    args.insert(args.begin(), "lib");
    return RunQuillon(std::move(args));
  }
  testing::TempDir dir;
  std::string library, document;
};

// The chapter as the README tells an author to bring it in.
TEST_F(MigrationCommandsTest, TheChapterComesInWithFourCommands) {
  EXPECT_THAT(Succeeds({"lib", "import-table", document, library}),
              AllOf(HasSubstr("5 added, 0 already present, 1 refused\n"), HasSubstr("7    DSP"),
                    HasSubstr("refused: the meaning is empty")));
  EXPECT_THAT(Succeeds({"scan", document, "--library", library, "--json"}),
              AllOf(HasSubstr("\"abb\": \"STFT\", \"text\": \"short-time Fourier transform\""),
                    HasSubstr("\"found\": \"FFT\", \"why\": \"possessive")));
  EXPECT_THAT(Succeeds({"convert", document, "--library", library}),
              AllOf(HasSubstr("14 plain uses turned into fields, 3 left as written\n"),
                    HasSubstr("List marker placed before the abbreviation table")));

  Succeeds({"update", document, "--library", library});
  Succeeds({"list", document, "--library", library});
  // The wording of each use and the list's rows are the document tests' part; here, that the
  // list took the hand-made table's place.
  std::string text = Shown(document);
  EXPECT_THAT(text, HasSubstr("are the following.  \rAbbreviation\r\aMeaning\r\aPage\r\a"));
  EXPECT_THAT(text, Not(HasSubstr("DSP")));
  EXPECT_EQ(docx::Document::Open(document)->Tables().Count(), 1);
}

TEST_F(MigrationCommandsTest, ScanPrintsWhatConvertWouldDo) {
  Succeeds({"lib", "add", library, "PCA", "principal component analysis"});
  const std::string scan = Succeeds({"scan", document, "--library", library});
  for (const char* part :
       {"Plain uses that convert turns into fields: 3\n",
        "1     776       long (short)  PCA    ared. The first is classical",
        "2     1405      short         PCA    Future work", "Left as written: 1\n",
        "plural: a field would lose its s", "Not in the library (candidates): 4\n",
        "1     ML            machine learning              1\n",
        "2     STFT          short-time Fourier transform  1\n"}) {
    EXPECT_THAT(scan, HasSubstr(part));
  }
}

TEST_F(MigrationCommandsTest, ConvertOnlyTheNamedAbbreviations) {
  Succeeds({"lib", "import-table", document, library});
  std::string out = dir.File("out.docx");
  const std::string convert =
      Succeeds({"convert", document, "--library", library, "--only", "PCA", "-o", out});
  EXPECT_THAT(convert, HasSubstr("3 plain uses turned into fields"));
  EXPECT_EQ(docx::Document::Open(document)->Fields().Count(), 0);  // -o leaves it alone

  EXPECT_EQ(RunQuillon({"convert", document, "--library", library, "--only", "XYZ"}),
            Refused("quillon: --only \"XYZ\": " + library + " has no such abbreviation\n"));
}

TEST_F(MigrationCommandsTest, ImportTableNeedsATable) {
  std::string plain = dir.File("plain.docx");
  std::filesystem::copy_file(QUILLON_SOURCE_DIR "/samples/sample-thesis.docx", plain);
  EXPECT_EQ(Lib({"import-table", plain, library}),
            Refused("quillon: " + plain +
                    " has no table headed \"Abbreviation | Meaning\"; name one with --table N\n"));
  EXPECT_EQ(Lib({"import-table", document, library, "--table", "2"}),
            Refused("quillon: " + document + " has no table 2 (it has 1)\n"));
  Succeeds({"lib", "import-table", document, library, "--table", "1"});
}

// The quoting is the CSV writer's and reader's; here, standard output or a file, and back.
TEST_F(MigrationCommandsTest, CsvRoundTrip) {
  Succeeds({"lib", "add", library, "PCA", "principal component analysis"});
  Succeeds({"lib", "add", library, "R&D", "research, \"and\" development", "--rtl"});
  const std::string toOutput = Succeeds({"lib", "export-csv", library});
  EXPECT_THAT(toOutput, HasSubstr("\"R\",\"R&D\",\"research, \"\"and\"\" development\"\r\n"));
  std::string csv = dir.File("library.csv");
  const std::string toFile = Succeeds({"lib", "export-csv", library, "-o", csv});
  EXPECT_EQ(toFile, "2 entries written to " + csv + "\n");
  EXPECT_EQ(testing::ReadFile(csv), toOutput);

  std::string copy = dir.File("copy.abb");
  Succeeds({"lib", "new", copy});
  const std::string imported = Succeeds({"lib", "import-csv", copy, csv});
  EXPECT_THAT(imported, HasSubstr("2 added, 0 already present, 0 refused\n"));
  EXPECT_EQ(Lib({"export-csv", copy}).out, toOutput);
}

TEST_F(MigrationCommandsTest, CsvLinesRefusedWithTheirNumbers) {
  std::string csv = dir.File("in.csv");
  testing::WriteFile(csv,
                     "abbreviation,meaning,direction\n"
                     "PCA,principal component analysis,L\n"
                     "X,,L\n"
                     "\n"
                     "Y,\"holds </ABB>\",L\n"
                     "Z,zeta,Q\n"
                     "pca,Principal Component Analysis,\n"
                     "W,\"two\nlines\",r\n");
  const std::string run = Succeeds({"lib", "import-csv", library, csv});
  for (const char* part : {"2 added, 1 already present, 3 refused\n", "3     X",
                           "refused: the meaning is empty", "7     pca", "8     W"}) {
    EXPECT_THAT(run, HasSubstr(part));
  }
}

// The reasons are the CSV reader's; here, how a refused or unreadable file reads.
TEST_F(MigrationCommandsTest, BadOrMissingCsvImportsNothing) {
  std::string csv = dir.File("bad.csv");
  testing::WriteFile(csv, "direction,abbreviation,meaning\nL,A,a\nL,B\n");
  EXPECT_EQ(Lib({"import-csv", library, csv}),
            Refused("quillon: " + csv +
                    " line 3: the record has 2 fields; every record has three: "
                    "direction,abbreviation,meaning; nothing imported\n"));
  EXPECT_EQ(Lib({"import-csv", library, dir.File("none.csv")}),
            Refused("quillon: cannot read " + dir.File("none.csv") + "\n"));
  EXPECT_EQ(Lib({"export-csv", library}).out, "direction,abbreviation,meaning\r\n");
  EXPECT_EQ(Lib({"export-csv", dir.File("none.abb")}),
            Refused("Library was removed: opened library located at " + dir.File("none.abb") +
                    " is not found\n"));
}

}  // namespace
}  // namespace quillon::cli
