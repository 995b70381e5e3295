// How long "quillon update --engine libreoffice" takes on a generated document full of
// abbreviation fields, against LibreOffice's own load and save of the same document
// (soffice --convert-to docx). Both sides start a soffice of their own; they run in turns and
// the minima are compared. Runs for minutes: not part of CI.
//
//   engine_speed QUILLON [PAGES FIELDS DISTINCT ROUNDS]   (default 100 2000 100 3)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>

#include "base/AtomicFile.h"
#include "bench/libreoffice/TimedCommand.h"
#include "bench/wordhost/DocumentGenerator.h"

namespace {

namespace fs = std::filesystem;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) {
    std::cerr << "usage: engine_speed QUILLON [PAGES FIELDS DISTINCT ROUNDS]\n";
    return 2;
  }
  std::string quillon = fs::absolute(argv[1]).string();
  quillon::bench::GeneratedDocumentShape shape;
  shape.pages = 100;
  shape.fields = 2000;
  shape.distinctEntries = 100;
  int rounds = 3;
  if (argc == 6) {
    shape.pages = std::atoi(argv[2]);
    shape.fields = std::atoi(argv[3]);
    shape.distinctEntries = std::atoi(argv[4]);
    rounds = std::max(1, std::atoi(argv[5]));
  }
  std::string pattern = (fs::temp_directory_path() / "quillon-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  fs::path dir = pattern;
  std::string doc = (dir / "big.docx").string();
  std::string lib = (dir / "big.abb").string();
  quillon::WriteFileAtomically(doc, quillon::bench::GenerateAbbreviationDocument(shape));
  std::cout << shape.pages << " pages, " << shape.fields << " fields, " << shape.distinctEntries
            << " entries, " << rounds << " rounds\n";
  if (quillon::bench::TimedCommand(quillon + " lib new " + lib + " >/dev/null") < 0) return 1;
  for (int i = 0; i < shape.distinctEntries; ++i) {
    std::string add = quillon + " lib add " + lib + " '" +
                      quillon::bench::GeneratedAbbreviation(i) + "' '" +
                      quillon::bench::GeneratedMeaning(i) + "' >/dev/null";
    if (quillon::bench::TimedCommand(add) < 0) return 1;
  }
  double convert = std::numeric_limits<double>::max();
  double update = std::numeric_limits<double>::max();
  bool failed = false;
  for (int round = 0; round < rounds && !failed; ++round) {
    double c = quillon::bench::TimedCommand(
        "soffice -env:UserInstallation=file://" + (dir / "profile").string() +
        " --headless --convert-to docx:'MS Word 2007 XML' --outdir " + (dir / "out").string() +
        " " + doc + " >/dev/null 2>&1");
    double u = quillon::bench::TimedCommand(quillon + " update " + doc + " --library " + lib +
                                            " --engine libreoffice -o " +
                                            (dir / "updated.docx").string() + " >/dev/null 2>&1");
    failed = c < 0 || u < 0;
    std::cout << "round " << round + 1 << ": load and save " << c << " s, update " << u << " s\n";
    convert = std::min(convert, c);
    update = std::min(update, u);
  }
  if (!failed) {
    std::cout << "soffice --convert-to docx (load and save):  " << convert << " s\n"
              << "quillon update --engine libreoffice:        " << update << " s\n"
              << "ratio: " << update / convert << '\n';
  }
  fs::remove_all(dir);
  return failed ? 1 : 0;
}
