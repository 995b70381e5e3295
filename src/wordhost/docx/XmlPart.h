// One XML part of a package, read into a tree and written back. The document model reads parts
// only through here, so every tree it holds is well-formed, was valid in its encoding and is
// nested no deeper than kMaxXmlDepth; every part it writes is UTF-8 and says so.
//
// Errors: DocxError naming the part and what is wrong with it, or saying what failed.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>

#include "wordhost/docx/Deflate.h"

namespace quillon::docx {

// Elements nested deeper than this are refused. Real documents stay far below it (a body
// paragraph sits 5 levels deep, each table nested in a cell adds 3, a text box about a dozen),
// and libxml2, which many other readers use, refuses more than 256 levels by default. The bound
// keeps every walk over the tree, here and in the XML library's own node removal (which
// recurses), within a thread's stack.
inline constexpr size_t kMaxXmlDepth = 256;

// How parts holding text are parsed: everything kept, text of blanks alone included (a run
// holding one blank shows it).
inline constexpr unsigned kTextPartParseOptions = pugi::parse_full | pugi::parse_ws_pcdata;

// Parses content, the bytes of part name, into xml with the parser options. Reads the
// encodings the XML parser knows: UTF-8, UTF-16 and UTF-32 (by byte order mark or their first
// bytes) and ISO-8859-1 (by the declaration); the tree holds UTF-8 and a kept declaration is
// changed to say so. Throws DocxError when content is not well-formed, is not valid UTF-8
// where UTF-8 is read, or nests elements deeper than kMaxXmlDepth; xml is then empty.
void ParsePart(pugi::xml_document& xml, const std::string& name, const std::string& content,
               unsigned options);

// Returns the bytes of xml as a part: UTF-8, with the declaration the tree holds, if any.
std::string SerializePart(const pugi::xml_document& xml);
// Returns SerializePart(xml) deflated at kDeflateLevel, written and deflated at once. Throws
// DocxError when compressing fails.
DeflatedPart SerializeDeflated(const pugi::xml_document& xml);

}  // namespace quillon::docx
