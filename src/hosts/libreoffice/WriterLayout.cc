#include "hosts/libreoffice/WriterLayout.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>

#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/UnoSession.h"

namespace quillon::libreoffice {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

// Closes the loaded document however the scope is left.
class LoadedDocument {
 public:
  LoadedDocument(LibreOfficeSession& session, const std::string& path)
      : component_(LoadHidden(session, path)) {}
  ~LoadedDocument() { CloseDocument(component_); }
  LoadedDocument(const LoadedDocument&) = delete;
  LoadedDocument& operator=(const LoadedDocument&) = delete;
  const Reference<css::lang::XComponent>& get() const { return component_; }

 private:
  Reference<css::lang::XComponent> component_;
};

// Lays the whole document out. A document loaded hidden is laid out while the office is idle,
// so an export started at once can find page fields not yet given their numbers (a busy machine
// showed a PAGE field as 0). Jumping to the last page makes the layout reach the end first.
void LayOutToTheEnd(const Reference<css::lang::XComponent>& component) {
  Reference<css::frame::XModel> model(component, UNO_QUERY_THROW);
  Reference<css::text::XTextViewCursorSupplier> supplier(model->getCurrentController(),
                                                         UNO_QUERY_THROW);
  Reference<css::text::XPageCursor> pageCursor(supplier->getViewCursor(), UNO_QUERY_THROW);
  pageCursor->jumpToLastPage();
}

}  // namespace

std::vector<long> BookmarkPages(LibreOfficeSession& session, const std::string& path,
                                const std::vector<std::string>& names) {
  LoadedDocument document(session, path);
  std::vector<long> pages;
  pages.reserve(names.size());
  std::string name;
  try {
    Reference<css::frame::XModel> model(document.get(), UNO_QUERY_THROW);
    Reference<css::text::XTextViewCursorSupplier> supplier(model->getCurrentController(),
                                                           UNO_QUERY_THROW);
    Reference<css::text::XTextViewCursor> cursor = supplier->getViewCursor();
    Reference<css::text::XPageCursor> pageCursor(cursor, UNO_QUERY_THROW);
    Reference<css::text::XBookmarksSupplier> bookmarksSupplier(document.get(), UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> bookmarks = bookmarksSupplier->getBookmarks();
    for (const std::string& n : names) {
      name = n;
      Reference<css::text::XTextContent> bookmark(bookmarks->getByName(ToOUString(name)),
                                                  UNO_QUERY_THROW);
      cursor->gotoRange(bookmark->getAnchor()->getStart(), false);
      pages.push_back(pageCursor->getPage());
    }
  } catch (const css::uno::Exception& e) {
    throw LibreOfficeError("cannot read the pages of " + path +
                           (name.empty() ? std::string() : " at bookmark " + name) + ": " +
                           ToUtf8(e.Message));
  }
  return pages;
}

void ExportDocument(LibreOfficeSession& session, const std::string& path, const std::string& target,
                    const std::string& filter) {
  LoadedDocument document(session, path);
  size_t colon = filter.find(':');
  css::uno::Sequence<css::beans::PropertyValue> arguments(3);
  arguments.getArray()[0].Name = "FilterName";
  arguments.getArray()[0].Value <<= ToOUString(filter.substr(0, colon));
  arguments.getArray()[1].Name = "Overwrite";
  arguments.getArray()[1].Value <<= true;
  arguments.getArray()[2].Name = "FilterOptions";
  arguments.getArray()[2].Value <<=
      ToOUString(colon == std::string::npos ? std::string() : filter.substr(colon + 1));
  try {
    LayOutToTheEnd(document.get());
    Reference<css::frame::XStorable> storable(document.get(), UNO_QUERY_THROW);
    storable->storeToURL(FileUrl(target), arguments);
  } catch (const css::uno::Exception& e) {
    throw LibreOfficeError("cannot export " + path + " to " + target + ": " + ToUtf8(e.Message));
  }
}

}  // namespace quillon::libreoffice
