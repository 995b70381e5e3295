// Lists a library of 100,000 entries into the list view model, the way the library manager
// loads it, and compares the time with the sqlite3 shell running the same SELECT on the same
// file (output discarded), in one run. Prints the best of several rounds of each.
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "BenchLibrary.h"
#include "library/SQLlite.h"
#include "widgets/ListView.h"
#include "widgets/ListViewRows.h"

extern char** environ;

namespace {

double ShellSeconds(const std::string& path, const std::string& sql) {
  std::string command = "sqlite3 '" + path + "' \"" + sql + "\" > /dev/null";
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "sqlite3 shell failed\n");
    std::exit(1);
  }
  return quillon::bench::Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quillon;
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
  std::string path =
      (std::filesystem::temp_directory_path() / "quillon-bench-listing.abb").string();
  bench::MakeLibrary(path, entries);
  bench::FailOnMessage failOnMessage;
  host::Platform().messageBox = &failOnMessage;
  library::State().LibraryPath = path;

  std::printf("entries: %d\n", entries);
  // Unsorted (the listing's start) and by abbreviation (after a column click).
  for (auto [sortColumn, sortOrder] : {std::pair<int16_t, int16_t>{0, 0}, {2, 1}}) {
    const std::string sql = library::ListingStatement(sortColumn, sortOrder);
    double best = 1e9, bestShell = 1e9;
    for (int round = 0; round < rounds; ++round) {
      bestShell = std::min(bestShell, ShellSeconds(path, sql));
      auto start = std::chrono::steady_clock::now();
      widgets::ListView list;  // a fresh list, as the manager clears its own before a reload
      list.SetWidth(650);
      widgets::ListViewRows rows(list);
      const library::QueryResult& listing =
          library::ListAbbreviations(path, sortColumn, sortOrder, rows);
      best = std::min(best, bench::Seconds(start));
      if (listing.RowCount != entries || list.ItemCount() != entries) {
        std::fprintf(stderr, "listed %d of %d\n", list.ItemCount(), entries);
        return 1;
      }
    }
    std::printf("%s\n  ListAbbreviations into the list view: %.1f ms\n", sql.c_str(), best * 1e3);
    std::printf("  sqlite3 shell, same SELECT: %.1f ms\n  ratio: %.2f\n", bestShell * 1e3,
                best / bestShell);
  }
  std::remove(path.c_str());
  return 0;
}
