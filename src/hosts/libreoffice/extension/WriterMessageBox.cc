#include "hosts/libreoffice/extension/WriterMessageBox.h"

#include <com/sun/star/awt/MessageBoxButtons.hpp>
#include <com/sun/star/awt/MessageBoxResults.hpp>
#include <com/sun/star/awt/MessageBoxType.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XMessageBox.hpp>
#include <com/sun/star/awt/XMessageBoxFactory.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>

#include <cstdlib>
#include <fstream>

#include "hosts/libreoffice/UnoSession.h"

namespace quillon::libreoffice {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

css::awt::MessageBoxType TypeOf(host::MsgBoxIcon icon) {
  switch (icon) {
    case host::MsgBoxIcon::kCritical:
      return css::awt::MessageBoxType_ERRORBOX;
    case host::MsgBoxIcon::kQuestion:
      return css::awt::MessageBoxType_QUERYBOX;
    case host::MsgBoxIcon::kExclamation:
      return css::awt::MessageBoxType_WARNINGBOX;
    case host::MsgBoxIcon::kInformation:
      return css::awt::MessageBoxType_INFOBOX;
    case host::MsgBoxIcon::kNone:
      break;
  }
  return css::awt::MessageBoxType_MESSAGEBOX;
}

// Appends the message to the log $QUILLON_MESSAGE_LOG names, when it names one.
void LogMessage(const host::MessageBoxRequest& request) {
  const char* log = std::getenv("QUILLON_MESSAGE_LOG");
  if (log == nullptr || log[0] == '\0') return;
  std::ofstream(log, std::ios::app) << request.title << ": " << request.text << '\n';
}

}  // namespace

WriterMessageBox::WriterMessageBox(Reference<css::uno::XComponentContext> context,
                                   Reference<css::frame::XFrame> frame)
    : context_(std::move(context)), frame_(std::move(frame)) {}

host::MsgBoxResult WriterMessageBox::Show(const host::MessageBoxRequest& request) {
  LogMessage(request);
  const bool question = request.buttons == host::MsgBoxButtons::kYesNo;
  sal_Int16 answer = css::awt::MessageBoxResults::CANCEL;
  try {
    Reference<css::awt::XMessageBoxFactory> factory(css::awt::Toolkit::create(context_),
                                                    UNO_QUERY_THROW);
    Reference<css::awt::XWindowPeer> parent;
    if (frame_.is()) parent.set(frame_->getContainerWindow(), UNO_QUERY);
    Reference<css::awt::XMessageBox> box =
        factory->createMessageBox(parent, TypeOf(request.icon),
                                  question ? css::awt::MessageBoxButtons::BUTTONS_YES_NO
                                           : css::awt::MessageBoxButtons::BUTTONS_OK,
                                  ToOUString(request.title), ToOUString(request.text));
    if (box.is()) answer = box->execute();
  } catch (const css::uno::Exception&) {
    // No window to show it in: the message stays unanswered.
  }
  if (!question) return host::MsgBoxResult::kOk;
  return answer == css::awt::MessageBoxResults::YES ? host::MsgBoxResult::kYes
                                                    : host::MsgBoxResult::kNo;
}

}  // namespace quillon::libreoffice
