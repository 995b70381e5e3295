// Routines that run inside soffice, next to the document: a small Basic module of our own,
// put into soffice's application libraries once per session and called over UNO. A walk over
// thousands of text portions then costs one call instead of tens of thousands, each of which
// would cross the socket. Included by this folder's files only.
#pragma once

#include <com/sun/star/script/provider/XScriptProvider.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>

#include "hosts/libreoffice/UnoSession.h"

namespace quillon::libreoffice {

class WriterScript {
 public:
  // Returns the module of session, installed into its soffice on the first call; null when
  // soffice runs no Basic (the callers then make the calls one by one). Throws
  // LibreOfficeError when the session is stopped.
  static std::shared_ptr<WriterScript> Of(LibreOfficeSession& session);

  // Runs the module's function name with arguments. Returns what it returns. Throws
  // css::uno::Exception when the call fails.
  css::uno::Any Call(const char* name, const css::uno::Sequence<css::uno::Any>& arguments);

 private:
  // Returns the module installed in the soffice behind context, or null. Never throws.
  static std::shared_ptr<WriterScript> Install(
      const css::uno::Reference<css::uno::XComponentContext>& context);

  css::uno::Reference<css::script::provider::XScriptProvider> provider_;
};

}  // namespace quillon::libreoffice
