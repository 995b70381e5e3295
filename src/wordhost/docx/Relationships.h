// The relationships of a package's parts: which part a relationship of a given type points
// to, and the entries that make a new part known to the package (its relationship and its
// content type).
#pragma once

#include <map>
#include <string>

#include "wordhost/docx/Package.h"

namespace quillon::docx {

// Returns the folder of part with its trailing slash ("word/" for "word/document.xml", "" for
// a part at the root).
std::string PartDirectory(const std::string& part);

// Returns the part that the first relationship of sourcePart ("" for the package itself) of
// type points to, resolved against sourcePart's folder; "" when there is none. A type that
// starts with "/" matches every type that ends with it. Throws DocxError when the
// relationships part cannot be read or is not well-formed XML.
std::string RelationshipTarget(const Package& package, const std::string& sourcePart,
                               const std::string& type);

// Puts into parts the relationships part of sourcePart and the content types part, as
// package holds them (a missing relationships part is made), deflated, plus a relationship id of
// type from sourcePart to newPart and newPart's content type. Throws DocxError when either part
// cannot be read, as ParsePart does.
void RelateNewPart(const Package& package, const std::string& sourcePart,
                   const std::string& newPart, const std::string& id, const std::string& type,
                   const std::string& contentType, std::map<std::string, DeflatedPart>& parts);

}  // namespace quillon::docx
