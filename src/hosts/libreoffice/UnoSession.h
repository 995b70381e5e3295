// The UNO side of this folder: the remote component context and the desktop of a
// LibreOfficeSession, and a document open in Writer as the extension is handed it.
// Included by the files of this folder only.
#pragma once

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

#include <memory>
#include <string>

#include "hosts/libreoffice/LibreOfficeSession.h"
#include "hosts/libreoffice/WriterHost.h"

namespace quillon::libreoffice {

using rtl::OString;
using rtl::OUString;

class WriterScript;

struct LibreOfficeSession::Uno {
  css::uno::Reference<css::uno::XComponentContext> context;
  css::uno::Reference<css::frame::XDesktop2> desktop;
  // Installed on first use (WriterScript::Of); null when soffice runs no Basic.
  std::shared_ptr<WriterScript> script;
  bool scriptInstalled = false;
};

struct OpenWriterDocument {
  css::uno::Reference<css::frame::XModel> model;
};

// Returns text as a UNO string (UTF-8 in).
inline OUString ToOUString(const std::string& text) {
  return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}
// Returns a UNO string as UTF-8.
inline std::string ToUtf8(const OUString& text) {
  OString utf8 = OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(utf8.getStr(), static_cast<size_t>(utf8.getLength()));
}

// Returns the file URL of path (made absolute). Throws LibreOfficeError.
OUString FileUrl(const std::string& path);

// Loads the document at path into the session, hidden (with a controller and a layout) and
// read-only (Writer then puts no lock file beside it; the API still edits it).
// Returns it; the caller closes it (CloseDocument). Throws LibreOfficeError naming the file.
css::uno::Reference<css::lang::XComponent> LoadHidden(LibreOfficeSession& session,
                                                      const std::string& path);
// Closes a document loaded by LoadHidden. Never throws.
void CloseDocument(const css::uno::Reference<css::lang::XComponent>& document);

}  // namespace quillon::libreoffice
