// Shared set-up of the library benchmarks: a library of n realistic entries, a message box
// that fails loudly, and a clock.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "addin/host/Platform.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"

namespace quillon::bench {

class FailOnMessage : public host::MessageBoxService {
 public:
  host::MsgBoxResult Show(const host::MessageBoxRequest& request) override {
    std::fprintf(stderr, "unexpected message: %s: %s\n", request.title.c_str(),
                 request.text.c_str());
    std::exit(1);
  }
};

// Writes a library of count entries at path in the layout of new libraries.
inline void MakeLibrary(const std::string& path, int count) {
  library::ResetState();
  std::remove(path.c_str());
  library::CreateLibrary(path);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  std::string sql =
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
      std::to_string(count) +
      ") insert into abbreviations (direction, abb, abbtext) select case when i % 20 = 0 then 'R' "
      "else 'L' end, 'AB' || hex(randomblob(2)) || i, 'Meaning number ' || i || ' of a rather "
      "long technical term' from n";
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

inline double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace quillon::bench
