// Document commands run through a headless LibreOffice (--engine libreoffice): the document is
// loaded into Writer, the same document routine runs over the LibreOffice host, and Writer
// writes the result back as .docx.
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "addin/host/Application.h"
#include "cli/CommandContext.h"

namespace quillon::cli {

struct EngineJob {
  std::string document;
  std::string library;
  std::string output;  // empty: in place
  bool saves = false;
  bool walksFields = false;               // reports the abbreviation fields outside the main text
  std::chrono::milliseconds wait{10000};  // for another quillon command changing the document
};

// Runs body on the document in LibreOffice and saves when it changed it. body returns whether
// the command did what was asked and writes its report, printed after the save. Returns the
// exit status; on any failure (library, LibreOffice, a host error, the save) says why and
// writes nothing.
int RunOnLibreOffice(const EngineJob& job, CommandContext& context,
                     const std::function<bool(host::Application&, std::ostream&)>& body);

}  // namespace quillon::cli
