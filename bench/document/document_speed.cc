// Times "quillon update" and "quillon list" on generated documents against a plain load and
// save of the same file (the document written anew, as an update writes it), in one run:
// 1,000 pages with 20,000 fields of 500 entries, and a tenth of that for the growth.
// Each round times the three sides one after the other and the minima are compared, so that
// one run gives a stable ratio on a busy machine. Prints the ratios; exits 1 when a target is
// missed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/document/GeneratedLibrary.h"
#include "wordhost/docx/Document.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Times {
  double loadSave = 1e9, update = 1e9, list = 1e9;
};

// Best of rounds for each measure on a document of pages and fields.
Times Measure(const fs::path& dir, int pages, int fields, int rounds) {
  quillon::bench::GeneratedDocumentShape shape;
  shape.pages = pages;
  shape.fields = fields;
  std::string source = (dir / "source.docx").string();
  std::ofstream(source, std::ios::binary) << quillon::bench::GenerateAbbreviationDocument(shape);
  std::string library = (dir / "bench.abb").string();
  quillon::bench::MakeGeneratedLibrary(library, shape.distinctEntries);
  std::string work = (dir / "work.docx").string();
  std::string out = (dir / "out.docx").string();

  Times best;
  for (int round = 0; round < rounds; ++round) {
    auto start = Clock::now();
    {
      auto document = quillon::docx::Document::Open(source);
      document->MarkModified();  // written anew, as after any change
      document->Save(out);
    }
    best.loadSave = std::min(best.loadSave, Since(start));

    fs::copy_file(source, work, fs::copy_options::overwrite_existing);
    start = Clock::now();
    if (quillon::bench::Quillon({"update", work, "--library", library}) != 0) std::exit(1);
    best.update = std::min(best.update, Since(start));

    start = Clock::now();
    if (quillon::bench::Quillon({"list", work, "--library", library}) != 0) std::exit(1);
    best.list = std::min(best.list, Since(start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = std::max(5, argc > 1 ? std::atoi(argv[1]) : 5);
  fs::path dir = fs::temp_directory_path() / "quillon-document-speed";
  fs::create_directories(dir);
  Times large = Measure(dir, 1000, 20000, rounds);
  Times small = Measure(dir, 100, 2000, rounds);
  fs::remove_all(dir);

  double updateRatio = large.update / large.loadSave;
  double listRatio = large.list / large.loadSave;
  double updateGrowth = large.update / small.update;
  double listGrowth = large.list / small.list;
  std::printf("1,000 pages, 20,000 fields: load+save %.0f ms, update %.0f ms, list %.0f ms\n",
              large.loadSave * 1e3, large.update * 1e3, large.list * 1e3);
  std::printf("100 pages, 2,000 fields:    load+save %.0f ms, update %.0f ms, list %.0f ms\n",
              small.loadSave * 1e3, small.update * 1e3, small.list * 1e3);
  std::printf("best of %d rounds each\n", rounds);
  std::printf("update / load+save: %.2f (at most 2)\n", updateRatio);
  std::printf("list / load+save:   %.2f (at most 3)\n", listRatio);
  std::printf("growth for ten times the fields: update %.1f, list %.1f (at most 11)\n",
              updateGrowth, listGrowth);
  bool met = updateRatio <= 2 && listRatio <= 3 && updateGrowth <= 11 && listGrowth <= 11;
  return met ? 0 : 1;
}
