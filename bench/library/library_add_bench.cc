// Adds 1,000 entries one by one (duplicate check, insert, verification) to libraries of
// growing size and prints the time per add, to show how it grows with the library.
#include <cstdio>
#include <filesystem>

#include "BenchLibrary.h"
#include "library/SQLlite.h"

int main(int argc, char** argv) {
  using namespace quillon;
  const int adds = argc > 1 ? std::atoi(argv[1]) : 1000;
  std::string path = (std::filesystem::temp_directory_path() / "quillon-bench-add.abb").string();
  bench::FailOnMessage failOnMessage;
  double previous = 0;
  std::printf("%10s %14s %8s\n", "entries", "ms per add", "growth");
  for (int size : {10000, 50000, 100000}) {
    bench::MakeLibrary(path, size);
    host::Platform().messageBox = &failOnMessage;
    library::State().LibraryPath = path;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < adds; ++i) {
      std::string abb = "NEW" + std::to_string(i),
                  text = "A newly added meaning " + std::to_string(i);
      if (library::CheckAbbrevExistance_Add_todB(path, abb, text, "L", false) !=
          library::AddOutcome::kAdded) {
        std::fprintf(stderr, "add %d failed\n", i);
        return 1;
      }
    }
    double perAdd = bench::Seconds(start) / adds;
    std::printf("%10d %14.3f %8s\n", size, perAdd * 1e3,
                previous > 0 ? (std::to_string(perAdd / previous).substr(0, 4) + "x").c_str() : "");
    previous = perAdd;
  }
  std::remove(path.c_str());
  return 0;
}
