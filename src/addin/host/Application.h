// The running host application: its active document and the user's selection.
#pragma once

#include "addin/host/CommandBars.h"
#include "addin/host/Document.h"
#include "addin/host/HostError.h"
#include "addin/host/Selection.h"

namespace quillon::host {

class Application {
 public:
  virtual ~Application() = default;
  // Returns the document the user works in; owned by the application. Throws HostError
  // (kErrCommandFailed) when no document is open.
  virtual host::Document& ActiveDocument() = 0;
  // Returns the selection in the active document; owned by the application. Throws as
  // ActiveDocument.
  virtual host::Selection& Selection() = 0;
  // Returns whether the host's window shows.
  virtual bool Visible() const = 0;
  // Shows or hides the host's window.
  virtual void SetVisible(bool visible) = 0;
  // Returns the host's command bar collection; owned by the application. Throws HostError
  // (kErrNotAvailable) when the host shows no command bars.
  virtual host::CommandBars& CommandBars() {
    throw HostError(kErrNotAvailable, "This host has no command bars");
  }
};

}  // namespace quillon::host
