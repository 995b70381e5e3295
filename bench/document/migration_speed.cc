// Times "quillon scan" and "quillon convert" on the 1,000-page generated document turned into
// plain text (every field's place holds its abbreviation) against a plain load and save of the
// same file, with a library of the document's 500 entries, and scan again with ten times the
// entries. One run: the measures take turns, round after round, and their minima are compared.
// Prints the figures; exits 1 when a target is missed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/document/GeneratedLibrary.h"
#include "wordhost/docx/Document.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = std::max(5, argc > 1 ? std::atoi(argv[1]) : 5);
  fs::path dir = fs::temp_directory_path() / "quillon-migration-speed";
  fs::create_directories(dir);
  quillon::bench::GeneratedDocumentShape shape;  // 1,000 pages, 20,000 uses of 500 entries
  shape.plainText = true;
  const std::string source = (dir / "plain.docx").string();
  std::ofstream(source, std::ios::binary) << quillon::bench::GenerateAbbreviationDocument(shape);
  const std::string library = (dir / "entries.abb").string();
  const std::string tenfold = (dir / "tenfold.abb").string();
  quillon::bench::MakeGeneratedLibrary(library, shape.distinctEntries);
  quillon::bench::MakeGeneratedLibrary(tenfold, shape.distinctEntries * 10);
  const std::string out = (dir / "out.docx").string();
  const std::string converted = (dir / "converted.docx").string();

  double loadSave = 1e9, scan = 1e9, convert = 1e9, scanTenfold = 1e9;
  for (int round = 0; round < rounds; ++round) {
    auto start = Clock::now();
    {
      auto document = quillon::docx::Document::Open(source);
      document->MarkModified();  // written anew, as convert writes it
      document->Save(out);
    }
    loadSave = std::min(loadSave, Since(start));

    start = Clock::now();
    if (quillon::bench::Quillon({"scan", source, "--library", library}) != 0) return 1;
    scan = std::min(scan, Since(start));

    start = Clock::now();
    if (quillon::bench::Quillon({"convert", source, "--library", library, "-o", converted}) != 0) {
      return 1;
    }
    convert = std::min(convert, Since(start));

    start = Clock::now();
    if (quillon::bench::Quillon({"scan", source, "--library", tenfold}) != 0) return 1;
    scanTenfold = std::min(scanTenfold, Since(start));
  }
  const long fields = quillon::docx::Document::Open(converted)->Fields().Count();
  // QUILLON_BENCH_KEEP=1 leaves the generated files behind, for profiling the commands alone.
  if (std::getenv("QUILLON_BENCH_KEEP") == nullptr) fs::remove_all(dir);

  const double scanRatio = scan / loadSave;
  const double convertRatio = convert / loadSave;
  const double growth = scanTenfold / scan;
  std::printf("1,000 pages of plain text, %d uses of %d entries, best of %d rounds:\n",
              shape.fields, shape.distinctEntries, rounds);
  std::printf(
      "  load+save %.0f ms, scan %.0f ms, convert %.0f ms (%ld fields written), "
      "scan with %d entries %.0f ms\n",
      loadSave * 1e3, scan * 1e3, convert * 1e3, fields, shape.distinctEntries * 10,
      scanTenfold * 1e3);
  std::printf("scan / load+save:    %.2f (at most 2)\n", scanRatio);
  std::printf("convert / load+save: %.2f (at most 3)\n", convertRatio);
  std::printf("scan with ten times the entries / scan: %.2f (at most 1.5)\n", growth);
  const bool met = scanRatio <= 2 && convertRatio <= 3 && growth <= 1.5 && fields == shape.fields;
  return met ? 0 : 1;
}
