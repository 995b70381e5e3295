// What Writer's own layout says about a document: the pages its bookmarks fall on, and the
// document as Writer exports it (PDF, plain text).
#pragma once

#include <string>
#include <vector>

#include "hosts/libreoffice/LibreOfficeSession.h"

namespace quillon::libreoffice {

// Returns, for each name, the page (1-based) on which Writer lays out the start of the
// bookmark of that name in the document at path, loaded hidden and closed again. Throws
// LibreOfficeError when the document cannot be loaded or a bookmark is missing.
std::vector<long> BookmarkPages(LibreOfficeSession& session, const std::string& path,
                                const std::vector<std::string>& names);

// Writes the document at path to target through Writer's export filter named by filter, with
// the filter's options after a colon ("writer_pdf_Export", "Text (encoded):UTF8"). Throws
// LibreOfficeError naming the file.
void ExportDocument(LibreOfficeSession& session, const std::string& path, const std::string& target,
                    const std::string& filter);

}  // namespace quillon::libreoffice
