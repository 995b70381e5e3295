// How the Writer host's files call into LibreOffice: a UNO exception becomes the HostError the
// document routines expect. Included by this folder only.
#pragma once

#include <com/sun/star/uno/Exception.hpp>

#include <string>

#include "addin/host/HostError.h"
#include "hosts/libreoffice/UnoSession.h"

namespace quillon::libreoffice {

// Runs a UNO call; a UNO exception becomes HostError (kErrCommandFailed) naming step.
template <typename Call>
auto Uno(const char* step, Call call) -> decltype(call()) {
  try {
    return call();
  } catch (const css::uno::Exception& e) {
    throw host::HostError(host::kErrCommandFailed,
                          std::string("LibreOffice: ") + step + ": " + ToUtf8(e.Message));
  }
}

}  // namespace quillon::libreoffice
