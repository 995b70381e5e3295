// Tables that fit their contents, in Writer: Writer lays a new table over the whole text
// width and has no fitting of columns to their text, so the host sizes them itself, by the
// estimate the .docx model writes such tables with. Error rule: throws HostError
// (kErrCommandFailed) when Writer refuses a step.
#pragma once

#include "hosts/libreoffice/WriterStory.h"

namespace quillon::libreoffice {

// Sizes the columns of every table of story asked for as fitting its contents by its text
// (each column as wide as its longest paragraph, within the page's text width) and sets the
// table's width to theirs, left-aligned as Word places such a table.
void FitTablesToContents(const WriterStory& story);

}  // namespace quillon::libreoffice
