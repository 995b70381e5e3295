#include "wordhost/docx/Paragraphs.h"

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Range.h"

namespace quillon::docx {

std::unique_ptr<host::Range> Paragraph::Range() const {
  const Story& story = document_.story();
  size_t unit = story.UnitOf(node_);
  if (unit == story.UnitCount()) {
    throw host::HostError(host::kErrObjectDeleted, "the paragraph has been deleted");
  }
  long start = story.UnitStart(unit);
  return std::make_unique<docx::Range>(document_, start, start + story.UnitLength(unit));
}

long DocumentParagraphs::Count() const {
  return static_cast<long>(document_.story().ParagraphCount());
}

std::unique_ptr<host::Paragraph> DocumentParagraphs::Item(long index) const {
  const Story& story = document_.story();
  if (index < 1 || static_cast<size_t>(index) > story.ParagraphCount()) {
    throw host::HostError(host::kErrNoSuchMember,
                          "the requested member of the collection does not exist");
  }
  size_t unit = story.ParagraphUnit(static_cast<size_t>(index - 1));
  return std::make_unique<docx::Paragraph>(document_, story.NodeOf(unit));
}

}  // namespace quillon::docx
