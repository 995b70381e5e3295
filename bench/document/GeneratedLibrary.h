// Shared set-up of the document benchmarks: a library holding the generated documents'
// entries, and the quillon command run in-process.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/wordhost/DocumentGenerator.h"
#include "cli/Cli.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"

namespace quillon::bench {

// Writes a library at path holding the first entries entries of the generated documents.
inline void MakeGeneratedLibrary(const std::string& path, int entries) {
  library::ResetState();
  std::filesystem::remove(path);
  library::extractEmptyDatabase(path);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "insert into abbreviations (direction, abb, abbtext) values ('L', ?, ?)",
                     -1, &insert, nullptr);
  for (int i = 0; i < entries; ++i) {
    std::string abb = GeneratedAbbreviation(i);
    std::string meaning = GeneratedMeaning(i);
    sqlite3_bind_text(insert, 1, abb.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, meaning.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// Runs "quillon args..." and returns its exit status; a failure is printed.
inline int Quillon(std::vector<std::string> args) {
  args.insert(args.begin(), "quillon");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  int status = cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  if (status != 0) {
    std::fprintf(stderr, "quillon %s failed: %s\n", args[1].c_str(), err.str().c_str());
  }
  return status;
}

}  // namespace quillon::bench
