// Writes a generated abbreviation document: make_bench_docx OUT.docx [PAGES FIELDS DISTINCT].
#include <cstdlib>
#include <exception>
#include <iostream>

#include "bench/wordhost/DocumentGenerator.h"
#include "base/AtomicFile.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 5) {
    std::cerr << "usage: make_bench_docx OUT.docx [PAGES FIELDS DISTINCT]\n";
    return 2;
  }
  quillon::bench::GeneratedDocumentShape shape;
  if (argc == 5) {
    shape.pages = std::atoi(argv[2]);
    shape.fields = std::atoi(argv[3]);
    shape.distinctEntries = std::atoi(argv[4]);
    if (shape.pages < 1 || shape.fields < 0 || shape.distinctEntries < 1) {
      std::cerr << "make_bench_docx: PAGES and DISTINCT must be positive, FIELDS not negative\n";
      return 2;
    }
  }
  try {
    quillon::WriteFileAtomically(argv[1],
                                       quillon::bench::GenerateAbbreviationDocument(shape));
  } catch (const std::exception& e) {
    std::cerr << "make_bench_docx: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
