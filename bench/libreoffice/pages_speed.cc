// How long "quillon list --pages libreoffice" takes on a large generated document, against
// LibreOffice's own load and save of the same document with its fields flattened, and against
// the list with the document's own page marks; and the list of a document whose last first use
// stands on its last page. Runs for minutes: not part of CI.
//
//   pages_speed QUILLON [PAGES FIELDS DISTINCT]   (default 1000 20000 500)
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>

#include "base/AtomicFile.h"
#include "bench/libreoffice/TimedCommand.h"
#include "bench/wordhost/DocumentGenerator.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/LayoutCopy.h"

namespace {

namespace fs = std::filesystem;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 5) {
    std::cerr << "usage: pages_speed QUILLON [PAGES FIELDS DISTINCT]\n";
    return 2;
  }
  std::string quillon = fs::absolute(argv[1]).string();
  quillon::bench::GeneratedDocumentShape shape;
  if (argc == 5) {
    shape.pages = std::atoi(argv[2]);
    shape.fields = std::atoi(argv[3]);
    shape.distinctEntries = std::atoi(argv[4]);
  }
  std::string pattern = (fs::temp_directory_path() / "quillon-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  fs::path dir = pattern;
  std::string doc = (dir / "big.docx").string();
  std::string lib = (dir / "big.abb").string();
  quillon::WriteFileAtomically(doc, quillon::bench::GenerateAbbreviationDocument(shape));
  // The flattened copy LibreOffice gets: one bookmark per entry's first use.
  std::vector<quillon::docx::LayoutBookmark> marks;
  for (int i = 0; i < shape.distinctEntries && i < shape.fields; ++i) {
    marks.push_back({static_cast<size_t>(i), "_QuillonPage" + std::to_string(i)});
  }
  fs::create_directory(dir / "flat");
  std::string flat = (dir / "flat" / "flat.docx").string();
  quillon::WriteFileAtomically(
      flat, quillon::docx::FlattenedCopy(*quillon::docx::Document::Open(doc), marks,
                                         quillon::docx::CopyExtent::kWhole));
  std::cout << shape.pages << " pages, " << shape.fields << " fields, " << shape.distinctEntries
            << " entries\n";
  if (quillon::bench::TimedCommand(quillon + " lib new " + lib + " >/dev/null") < 0) return 1;
  // The sides take turns; the minima are compared.
  constexpr int kRounds = 3;
  double convert = std::numeric_limits<double>::max();
  double layoutList = std::numeric_limits<double>::max();
  bool failed = false;
  for (int round = 0; round < kRounds && !failed; ++round) {
    double c = quillon::bench::TimedCommand(
        "cd " + (dir / "flat").string() + " && soffice -env:UserInstallation=file://" +
        (dir / "profile").string() +
        " --headless --convert-to docx:'MS Word 2007 XML' --outdir out " + flat +
        " >/dev/null 2>&1");
    double l = quillon::bench::TimedCommand(quillon + " list " + doc + " --library " + lib +
                                            " --pages libreoffice -o " +
                                            (dir / "layout.docx").string() + " >/dev/null");
    failed = c < 0 || l < 0;
    convert = std::min(convert, c);
    layoutList = std::min(layoutList, l);
  }
  double marksList =
      quillon::bench::TimedCommand(quillon + " list " + doc + " --library " + lib + " -o " +
                                   (dir / "marks.docx").string() + " >/dev/null");
  // As many uses as entries, spread over the pages: every use is a first use, the last one on
  // the last page, and Writer lays out the whole document.
  std::string allFirst = (dir / "all-first.docx").string();
  quillon::bench::GeneratedDocumentShape everyUseFirst = shape;
  everyUseFirst.fields = shape.distinctEntries;
  quillon::WriteFileAtomically(allFirst,
                               quillon::bench::GenerateAbbreviationDocument(everyUseFirst));
  double wholeLayout = quillon::bench::TimedCommand(
      quillon + " list " + allFirst + " --library " + lib + " --pages libreoffice -o " +
      (dir / "all-first-layout.docx").string() + " >/dev/null");
  std::cout << "soffice --convert-to docx of the flattened copy: " << convert << " s\n"
            << "quillon list --pages marks:                     " << marksList << " s\n"
            << "quillon list --pages libreoffice:               " << layoutList << " s\n"
            << "  the same pages, every use a first use:        " << wholeLayout << " s\n";
  if (!failed)
    std::cout << "ratio to LibreOffice's own load and save: " << layoutList / convert << '\n';
  fs::remove_all(dir);
  return failed || marksList < 0 || wholeLayout < 0 ? 1 : 0;
}
