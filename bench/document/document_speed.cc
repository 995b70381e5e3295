// Times "quillon update" and "quillon list" on generated documents against a plain load and
// save of the same file (the document written anew, as an update writes it), in one run:
// 1,000 pages with 20,000 fields of 500 entries, and a tenth of that for the growth.
// Prints the ratios; exits 1 when a target is missed.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/wordhost/DocumentGenerator.h"
#include "cli/Cli.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"
#include "wordhost/docx/Document.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

int Quillon(std::vector<std::string> args) {
  args.insert(args.begin(), "quillon");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  int status = quillon::cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  if (status != 0)
    std::fprintf(stderr, "quillon %s failed: %s\n", args[1].c_str(), err.str().c_str());
  return status;
}

void MakeLibrary(const std::string& path, int entries) {
  quillon::library::ResetState();
  fs::remove(path);
  quillon::library::extractEmptyDatabase(path);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "insert into abbreviations (direction, abb, abbtext) values ('L', ?, ?)",
                     -1, &insert, nullptr);
  for (int i = 0; i < entries; ++i) {
    std::string abb = quillon::bench::GeneratedAbbreviation(i);
    std::string meaning = quillon::bench::GeneratedMeaning(i);
    sqlite3_bind_text(insert, 1, abb.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, meaning.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
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
  MakeLibrary(library, shape.distinctEntries);
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
    if (Quillon({"update", work, "--library", library}) != 0) std::exit(1);
    best.update = std::min(best.update, Since(start));

    start = Clock::now();
    if (Quillon({"list", work, "--library", library}) != 0) std::exit(1);
    best.list = std::min(best.list, Since(start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
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
  std::printf("update / load+save: %.2f (at most 2)\n", updateRatio);
  std::printf("list / load+save:   %.2f (at most 3)\n", listRatio);
  std::printf("growth for ten times the fields: update %.1f, list %.1f (at most 11)\n",
              updateGrowth, listGrowth);
  bool met = updateRatio <= 2 && listRatio <= 3 && updateGrowth <= 11 && listGrowth <= 11;
  return met ? 0 : 1;
}
