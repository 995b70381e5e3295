// Writer's own message boxes for the extension's messages, made by the toolkit over the window
// of the frame the command runs in. Included by the extension's component only (UNO types).
#pragma once

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "addin/host/MessageBox.h"

namespace quillon::libreoffice {

class WriterMessageBox : public host::MessageBoxService {
 public:
  // REQUIRES: context and frame stay valid while the service is installed.
  WriterMessageBox(css::uno::Reference<css::uno::XComponentContext> context,
                   css::uno::Reference<css::frame::XFrame> frame);
  // Shows the message modally over the frame's window. A box that cannot be shown, or that
  // Writer dismisses unanswered (as a headless Writer does), answers kOk, or kNo to a
  // question. When $QUILLON_MESSAGE_LOG names a file, the message is also appended there as
  // "title: text" (one line a message), for runs without a screen.
  host::MsgBoxResult Show(const host::MessageBoxRequest& request) override;

 private:
  css::uno::Reference<css::uno::XComponentContext> context_;
  css::uno::Reference<css::frame::XFrame> frame_;
};

}  // namespace quillon::libreoffice
