// Opens the library manager on a library of 100,000 entries and paints its first screen,
// alternating with `quillon lib list` of the same library into /dev/null, in one run; prints
// the minimum of each and their ratio. Then paints one screen of a 100,000-row list and of a
// 100-row list many times and compares the time per paint.
//
//   bench_manager QUILLON_EXECUTABLE [ENTRIES] [ROUNDS]
#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "../library/BenchLibrary.h"
#include "library/AddinState.h"
#include "ui/Form1.h"
#include "widgets/qt/ListViewWidget.h"

namespace {

using namespace quillon;

double TimeCommand(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
  return bench::Seconds(start);
}

double OpenManagerAndPaint(int entries) {
  auto start = std::chrono::steady_clock::now();
  ui::Form1 manager;
  manager.show();
  const QImage& first = manager.ListView1->RenderSurface();
  const double seconds = bench::Seconds(start);
  if (manager.ListView1->model().ItemCount() != entries || first.isNull()) {
    std::fprintf(stderr, "the manager listed %d of %d\n", manager.ListView1->model().ItemCount(),
                 entries);
    std::exit(1);
  }
  return seconds;
}

// Seconds per paint of one screen of a list of rows items.
double PaintSeconds(int rows, int paints) {
  widgets::qt::ListViewWidget list;
  list.resize(700, 500);
  widgets::ListView& model = list.model();
  model.AddColumn("L/R", "L/R", 0, 30);
  model.AddColumn("abb", "Abbreviation", 0, 200);
  model.AddColumn("abbtext", "Text", 0, 450);
  model.SetRedraw(false);
  for (int i = 0; i < rows; ++i) {
    int32_t item = model.AddItem(-1, "L");
    model.SetItemText(item, 1, "AB" + std::to_string(i));
    model.SetItemText(item, 2, "Meaning number " + std::to_string(i) + " of a rather long term");
  }
  model.SetRedraw(true);
  list.show();
  list.MakeSureVisible(rows / 2 > 40 ? rows / 2 : 0, -1);  // somewhere in the middle
  list.RenderSurface();                                     // warm up
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < paints; ++i) list.RenderSurface();
  return bench::Seconds(start) / paints;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_manager QUILLON_EXECUTABLE [ENTRIES] [ROUNDS]\n");
    return 2;
  }
  const std::string quillon = argv[1];
  const int entries = argc > 2 ? std::atoi(argv[2]) : 100000;
  const int rounds = std::max(argc > 3 ? std::atoi(argv[3]) : 5, 5);
  const std::string path =
      (std::filesystem::temp_directory_path() / "quillon-bench-manager.abb").string();
  bench::MakeLibrary(path, entries);
  bench::FailOnMessage failOnMessage;
  host::Platform().messageBox = &failOnMessage;
  library::State().LibraryPath = path;
  library::State().AddinTitle = library::kAddinTitle;

  double bestManager = 1e9, bestList = 1e9;
  const std::string list = "'" + quillon + "' lib list '" + path + "' > /dev/null";
  for (int round = 0; round < rounds; ++round) {
    bestList = std::min(bestList, TimeCommand(list));
    bestManager = std::min(bestManager, OpenManagerAndPaint(entries));
  }
  std::printf("entries: %d, rounds: %d (alternating)\n", entries, rounds);
  std::printf("  open the manager and paint the first screen: %.1f ms\n", bestManager * 1e3);
  std::printf("  quillon lib list > /dev/null:                %.1f ms\n", bestList * 1e3);
  std::printf("  ratio: %.2f (target at most 1.5)\n", bestManager / bestList);

  const int paints = 200;
  double big = 1e9, small = 1e9;
  for (int round = 0; round < rounds; ++round) {
    big = std::min(big, PaintSeconds(100000, paints));
    small = std::min(small, PaintSeconds(100, paints));
  }
  std::printf("one screen of a 100,000-row list: %.3f ms per paint\n", big * 1e3);
  std::printf("one screen of a 100-row list:     %.3f ms per paint\n", small * 1e3);
  std::printf("  ratio: %.2f (target within 20 %%)\n", big / small);
  std::remove(path.c_str());
  return 0;
}
