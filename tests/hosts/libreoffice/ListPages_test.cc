// The Page column of the abbreviation list taken from LibreOffice's layout, checked against the
// pages of LibreOffice's own PDF of the document.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "cli/CliRunner.h"
#include "hosts/libreoffice/SharedSession.h"
#include "hosts/libreoffice/WriterLayout.h"
#include "support/Commands.h"
#include "support/DocumentFiles.h"
#include "support/SampleFiles.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

using docx::testing::MakeDocx;
using docx::testing::P;
using docx::testing::Placeholder;
using docx::testing::R;
using libreoffice::SofficeInstalled;

struct Entry {
  std::string abb, text;
  int paragraph;  // where its first use stands; a later use follows further on
};

// Entries whose first uses are spread over a text of about ten pages without a break.
const std::vector<Entry> kEntries = {
    {"AAQ", "Alpha Aqua Quartz", 2},   {"BRV", "Bravo River Valley", 61},
    {"CSM", "Charlie Sand Moon", 133}, {"DTW", "Delta Tin Wire", 199},
    {"EXL", "Echo Xylo Lamp", 262},    {"FZN", "Foxtrot Zinc Node", 318},
};

std::string FlowingDocument(int paragraphs = 330) {
  std::string body;
  for (int p = 0; p < paragraphs; ++p) {
    std::string runs = R("Paragraph " + std::to_string(p) +
                         " runs on with ordinary words that fill the line and the page ");
    for (const Entry& e : kEntries) {
      if (p == e.paragraph || p == e.paragraph + 5)
        runs += Placeholder(e.abb, e.text) + R(" noted ");
    }
    body += P(runs + R("and stops here."));
  }
  return MakeDocx(body);
}

// Returns the text of each page of a PDF, by pdftotext.
std::vector<std::string> PdfPages(const std::string& pdf) {
  std::vector<std::string> pages;
  const std::string text = testing::CommandOutput("pdftotext -layout '" + pdf + "' - 2>/dev/null");
  size_t start = 0;
  for (size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1) {
    pages.push_back(text.substr(start, ff - start));
  }
  return pages;
}

// Returns the Page column of the list in the document at path, by abbreviation.
std::map<std::string, std::string> ListedPages(const std::string& path) {
  std::string text = testing::Shown(path);
  std::map<std::string, std::string> pages;
  for (const Entry& e : kEntries) {
    std::string row = e.abb + "\r\a" + e.text + "\r\a";
    size_t at = text.find(row);
    if (at == std::string::npos) continue;
    size_t start = at + row.size();
    pages[e.abb] = text.substr(start, text.find('\r', start) - start);
  }
  return pages;
}

TEST(ListPagesTest, PagesAreThoseOfLibreOfficesPdf) {
  if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
  testing::TempDir dir;
  const std::string library = dir.File("lib.abb"), document = dir.File("flow.docx");
  Succeeds({"lib", "new", library});
  for (const Entry& e : kEntries) {
    Succeeds({"lib", "add", library, e.abb, e.text});
  }
  testing::WriteFile(document, FlowingDocument());
  // The page of each entry's first use (its long form) in LibreOffice's PDF of the document.
  Succeeds({"update", document, "--library", library});
  const std::string pdf = dir.File("flow.pdf");
  libreoffice::ExportDocument(testing::SharedLibreOffice::Get(), document, pdf,
                              "writer_pdf_Export");
  const std::vector<std::string> pdfPages = PdfPages(pdf);
  std::map<std::string, std::string> expected;
  for (const Entry& e : kEntries) {
    for (size_t page = 0; page < pdfPages.size() && !expected.contains(e.abb); ++page) {
      if (pdfPages[page].find("(" + e.abb + ")") != std::string::npos) {
        expected[e.abb] = std::to_string(page + 1);
      }
    }
  }
  ASSERT_EQ(expected.size(), kEntries.size());
  EXPECT_EQ(expected["AAQ"], "1");
  EXPECT_GE(std::stoi(expected["FZN"]), 9);

  // Lists the entries of source into a new file, with options; returns that file.
  int lists = 0;
  auto list = [&](const std::string& source, std::vector<std::string> options) {
    const std::string out = dir.File("list" + std::to_string(++lists) + ".docx");
    options.insert(options.begin(), {"list", source, "--library", library, "-o", out});
    Succeeds(options);
    return out;
  };
  const std::string fromLayout = list(document, {"--pages", "libreoffice"});
  EXPECT_EQ(ListedPages(fromLayout), expected);
  // The list stands at the end, so a rebuild over it finds the same pages.
  EXPECT_EQ(ListedPages(list(fromLayout, {"--pages", "libreoffice"})), expected);
  // Run inside Writer, the list takes Writer's pages too.
  EXPECT_EQ(ListedPages(list(document, {"--engine", "libreoffice"})), expected);
  // LibreOffice lays out only a few pages past the last first use: many more after it change
  // no page.
  testing::WriteFile(document, FlowingDocument(730));
  Succeeds({"update", document, "--library", library});
  EXPECT_EQ(ListedPages(list(document, {"--pages", "libreoffice"})), expected);
  CliRun unknown = RunQuillon({"list", document, "--library", library, "--pages", "word"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_THAT(unknown.err, ::testing::HasSubstr("--pages"));
}

// LibreOffice lays the list out with the widths it is written with: each meaning on one line,
// which the text export cannot tell, so the laid-out pages are read back as text.
TEST(ListPagesTest, LibreOfficeLaysTheListOutByItsContents) {
  if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
  testing::SampleFiles sample;
  Succeeds({"list", sample.document, "--library", sample.library});
  const std::string pdf = sample.dir.File("thesis.pdf");
  libreoffice::ExportDocument(testing::SharedLibreOffice::Get(), sample.document, pdf,
                              "writer_pdf_Export");
  // -layout keeps a table row on one line: a wrapped meaning would continue on the next.
  const std::string pages = testing::CommandOutput("pdftotext -layout '" + pdf + "' -");
  EXPECT_THAT(pages, ::testing::ContainsRegex("CNN +Convolutional Neural Network +2\n"));
  EXPECT_THAT(pages, ::testing::ContainsRegex("FPGA +Field-Programmable Gate Array +1\n"));
}

}  // namespace
}  // namespace quillon::cli
