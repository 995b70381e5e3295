// Document commands under conditions that used to lose data: documents changed by two commands at
// once, protected files and failed saves, misplaced lists, fields outside the main text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "cli/CliRunner.h"
#include "support/DocumentFiles.h"
#include "support/HeldElsewhere.h"
#include "support/ReadOnly.h"
#include "support/SampleFiles.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;
using namespace docx::testing;
using ::testing::AllOf;
using ::testing::HasSubstr;
using testing::ReadFile;
using testing::Shown;

const std::string kMarker = Fld(" ADDIN ABBREV <Abbreviation List> ", R("  "));
const std::string kCnn = AbbField("CNN", "Convolutional Neural Network", "LTR", "{CNN-#1}");

class DocumentFailSafeTest : public ::testing::Test, protected testing::SampleFiles {
 protected:
  DocumentFailSafeTest() {
    fs::permissions(dir.Path(), fs::perms::all);  // the unprivileged cases work in here too
    fs::permissions(library, fs::perms::all);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    testing::WriteFile(dir.File(name), bytes);
    return dir.File(name);
  }
};

// --- two commands, one document ---------------------------------------------------------

TEST_F(DocumentFailSafeTest, ACommandRefusesADocumentAnotherCommandIsChanging) {
  const std::string original = ReadFile(document);
  testing::HeldElsewhere update(document);
  for (const char* command : {"update", "list"}) {
    CliRun run = RunQuillon({command, document, "--library", library, "--wait", "0.2"});
    EXPECT_EQ(run, Refused("quillon: " + document +
                           " is being changed by another Quillon command; nothing was done, try "
                           "again when it has finished\n"))
        << command;
  }
  EXPECT_EQ(ReadFile(document), original);

  // Reading commands and -o leave the document alone, so they need not wait.
  Succeeds({"fields", document});
  std::string copy = dir.File("copy.docx");
  Succeeds({"update", document, "--library", library, "-o", copy});

  // --wait gives the other command time to finish.
  std::thread finisher([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    update.Release();
  });
  CliRun run = RunQuillon({"update", document, "--library", library, "--wait", "10"});
  finisher.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(Shown(document), HasSubstr("Field-Programmable Gate Array (FPGA)"));
}

// --- saves that cannot happen ----------------------------------------------------------------

// Refused before any work, with one message and no summary over a save that did not happen.
TEST_F(DocumentFailSafeTest, ASaveThatCannotHappenIsRefusedWithOneMessage) {
  const std::string original = ReadFile(document);
  const std::string missing = dir.File("no/such/folder/out.docx");
  ::chmod(document.c_str(), 0444);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(document.c_str(), 65534, 65534), 0);
  }
  testing::ScopedUnprivileged nobody;
  EXPECT_EQ(RunQuillon({"update", document, "--library", library}),
            Refused("quillon: cannot write " + document + ": the file is write-protected\n"));
  EXPECT_EQ(ReadFile(document), original);
  for (const char* command : {"update", "list"}) {
    EXPECT_EQ(RunQuillon({command, document, "--library", library, "-o", missing}),
              Refused("quillon: cannot write " + missing +
                      ": cannot create a temporary file beside it: No such file or directory\n"))
        << command;
  }
}

// --- the list ------------------------------------------------------------------------------

TEST_F(DocumentFailSafeTest, MarkerInATableCellIsRefused) {
  std::string cellWithMarker = "<w:tbl><w:tr><w:tc>" + P(kMarker) + "</w:tc></w:tr></w:tbl>";
  std::string path = Write("cell.docx", MakeDocx(P(kCnn) + cellWithMarker + P(R("End."))));
  const std::string original = ReadFile(path);
  EXPECT_EQ(RunQuillon({"list", path, "--library", library}),
            Refused("Quillon plugin: The abbreviation list marker stands in a table; move it "
                    "out of the table, then insert the list again\n"));
  EXPECT_EQ(ReadFile(path), original);
}

// A table right after the marker is replaced when it reads as a list; the author's own stays
// after the list, also over a rebuild.
TEST_F(DocumentFailSafeTest, TheTableAfterTheMarkerIsReplacedOnlyWhenItReadsAsAList) {
  const std::string list =
      "{CNN-#1}\r  \rAbbreviation\r\aMeaning\r\aPage\r\a\r\aCNN\r\aConvolutional Neural "
      "Network\r\a1\r\a";
  for (auto [table, kept] :
       {std::pair{Table({{"My data", "keep me"}}), "\r\a\rMy data\r\akeep me\r\a"},
        {Table({{"Acronym", "Definition"}, {"OLD", "Outdated"}}), ""}}) {
    std::string path = Write("table.docx", MakeDocx(P(kCnn) + P(kMarker) + table + P(R("End."))));
    Succeeds({"list", path, "--library", library});
    EXPECT_EQ(Shown(path), list + kept + "\r\aEnd.\r");
    const std::string bytes = ReadFile(path);
    Succeeds({"list", path, "--library", library});
    EXPECT_EQ(ReadFile(path), bytes);
  }
}

// --- fields outside the main text --------------------------------------------------------

std::string WithOtherStories(const std::string& body) {
  auto part = [](const char* root, const std::string& inner) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:") + root +
           " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">" + inner +
           "</w:" + root + ">";
  };
  auto parts = DocxParts(DocumentXml(body));
  parts.insert(
      parts.end(),
      {
          {"word/header1.xml",
           part("hdr", P(AbbField("GPU", "Graphics Processing Unit", "LTR", "{GPU-#2}")))},
          {"word/footnotes.xml",
           part("footnotes", "<w:footnote w:id=\"1\">" +
                                 P(AbbField("FFT", "Fast Fourier Transform", "LTR", "{FFT-#3}") +
                                   Simple(" PAGE ", R("1"))) +
                                 "</w:footnote>")},
      });
  return docx::Package::Create(parts);
}

TEST_F(DocumentFailSafeTest, FieldsOutsideTheMainTextAreCountedAndListed) {
  std::string textBox =
      "<w:r><w:pict><v:shape xmlns:v=\"urn:schemas-microsoft-com:vml\"><v:textbox>"
      "<w:txbxContent>" +
      P(AbbField("IoT", "Internet of Things", "LTR", "{IoT-#4}")) +
      "</w:txbxContent></v:textbox></v:shape></w:pict></w:r>";
  std::string path = Write("stories.docx", WithOtherStories(P(kCnn + textBox)));

  CliRun update = RunQuillon({"update", path, "--library", library});
  ASSERT_EQ(update.status, 0) << update.err;
  EXPECT_THAT(update.err,
              HasSubstr("quillon: note: 3 abbreviation fields outside the main text left as they "
                        "are (footnote: 1, header: 1, text box: 1); only fields in the main text "
                        "are updated and listed\n"));
  EXPECT_EQ(update.out, "1 abbreviation fields, 1 rewritten\n");

  EXPECT_THAT(Succeeds({"fields", path}),
              AllOf(HasSubstr("text box\t-\t-\t ADDIN ABBREV <ABB>IoT</ABB>"),
                    HasSubstr("header\t-\t-\t ADDIN ABBREV <ABB>GPU</ABB>"),
                    HasSubstr("footnote\t-\t-\t PAGE \t1\n")));
  EXPECT_THAT(Succeeds({"fields", path, "--json"}),
              HasSubstr("{\"story\": \"footnote\", \"code\": \" ADDIN ABBREV "
                        "<ABB>FFT</ABB>"));
}

}  // namespace
}  // namespace quillon::cli
