// A temporary folder holding copies of the sample library and the sample thesis, for tests
// whose commands may change them.
#pragma once

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace quillon::testing {

class SampleFiles {
 public:
  SampleFiles() {
    std::filesystem::copy_file(QUILLON_SOURCE_DIR "/samples/sample-library.abb", library);
    std::filesystem::copy_file(QUILLON_SOURCE_DIR "/samples/sample-thesis.docx", document);
  }

  TempDir dir;
  std::string library = dir.File("sample.abb");
  std::string document = dir.File("thesis.docx");
};

}  // namespace quillon::testing
