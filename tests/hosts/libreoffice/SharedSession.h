// One headless LibreOffice for a whole test program: started by the first test that needs it,
// stopped when the program ends. Tests fail (not skip) when soffice is missing.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "hosts/libreoffice/LibreOfficeSession.h"

namespace quillon::testing {

class SharedLibreOffice : public ::testing::Environment {
 public:
  static libreoffice::LibreOfficeSession& Get() {
    if (!session_) session_ = std::make_unique<libreoffice::LibreOfficeSession>();
    return *session_;
  }
  void TearDown() override { session_.reset(); }

 private:
  static inline std::unique_ptr<libreoffice::LibreOfficeSession> session_;
};

// Registers the environment that stops the shared session at the end of the program.
inline const bool kSharedLibreOfficeRegistered =
    (::testing::AddGlobalTestEnvironment(new SharedLibreOffice), true);

}  // namespace quillon::testing
