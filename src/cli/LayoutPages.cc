#include "cli/LayoutPages.h"

#include <set>
#include <utility>

#include "addin/host/HostError.h"
#include "base/AtomicFile.h"
#include "document/FieldFormat.h"
#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/WriterLayout.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/LayoutCopy.h"

namespace quillon::cli {

LibreOfficePages::LibreOfficePages() = default;
LibreOfficePages::~LibreOfficePages() = default;

long LibreOfficePages::PageAt(const docx::Document& document, long pos) {
  if (generation_ != document.story().Generation() || !pageOfEnd_.contains(pos)) {
    Layout(document, pos);
  }
  auto found = pageOfEnd_.find(pos);
  if (found == pageOfEnd_.end()) {
    throw host::HostError(
        host::kErrBadParameter,
        "LibreOffice pages are known at field ends only, not at position " + std::to_string(pos));
  }
  return found->second;
}

void LibreOfficePages::Layout(const docx::Document& document, long pos) {
  const docx::FieldIndex& fields = document.fieldIndex();
  const docx::Story& story = document.story();
  // Each entry's first field, and the field asked about.
  std::vector<docx::LayoutBookmark> bookmarks;
  std::vector<long> ends;
  std::set<std::pair<std::string, std::string>> seen;
  for (size_t i = 0; i < fields.Count(); ++i) {
    const docx::FieldRecord& field = *fields.At(i);
    long end = fields.EndOf(field, story);
    bool wanted = end == pos;
    document::FieldValues values;
    if (document::ExtractFieldValues(document.CodeText(field), values,
                                     document.ResultText(field)) &&
        !values.abbreviation.empty()) {
      wanted |= seen.emplace(values.abbreviation, values.text).second;
    }
    if (!wanted) continue;
    bookmarks.push_back({i, "_QuillonPage" + std::to_string(i)});
    ends.push_back(end);
  }
  pageOfEnd_.clear();
  generation_ = story.Generation();
  if (bookmarks.empty()) return;
  try {
    std::string flattened =
        docx::FlattenedCopy(document, bookmarks, docx::CopyExtent::kPastLastBookmark);
    if (!session_) session_ = std::make_unique<libreoffice::LibreOfficeSession>();
    // Beside the session's profile, so that it goes with the session whatever happens.
    std::string copy = session_->ScratchPath("layout.docx");
    WriteFileAtomically(copy, flattened);
    std::vector<std::string> names;
    for (const docx::LayoutBookmark& b : bookmarks) names.push_back(b.name);
    std::vector<long> pages = libreoffice::BookmarkPages(*session_, copy, names);
    ++layouts_;
    for (size_t i = 0; i < ends.size(); ++i) pageOfEnd_[ends[i]] = pages[i];
  } catch (const libreoffice::LibreOfficeError& e) {
    throw host::HostError(host::kErrCommandFailed, std::string("LibreOffice: ") + e.what());
  } catch (const docx::DocxError& e) {
    throw host::HostError(host::kErrCommandFailed, e.what());
  } catch (const FileError& e) {
    throw host::HostError(host::kErrCommandFailed, e.what());
  }
}

}  // namespace quillon::cli
