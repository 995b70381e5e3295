#include "wordhost/docx/Relationships.h"

#include <pugixml.hpp>

#include <string_view>

#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

constexpr const char* kContentTypesPart = "[Content_Types].xml";

// Resolves a relationship target against the folder of its source part ("../x" and "/x").
std::string ResolveTarget(const std::string& sourceDir, std::string target) {
  if (!target.empty() && target[0] == '/') return target.substr(1);
  std::string dir = sourceDir;
  while (target.rfind("../", 0) == 0) {
    target.erase(0, 3);
    if (!dir.empty()) dir.pop_back();
    size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
  }
  if (target.rfind("./", 0) == 0) target.erase(0, 2);
  return dir + target;
}

// Returns the relationships part of part ("_rels/.rels" for the package itself, named "").
std::string RelationshipsPartOf(const std::string& part) {
  if (part.empty()) return "_rels/.rels";
  std::string dir = PartDirectory(part);
  return dir + "_rels/" + part.substr(dir.size()) + ".rels";
}

}  // namespace

std::string PartDirectory(const std::string& part) {
  size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipTarget(const Package& package, const std::string& sourcePart,
                               const std::string& type) {
  std::string rels = RelationshipsPartOf(sourcePart);
  if (!package.Has(rels)) return {};
  pugi::xml_document xml;
  ParsePart(xml, rels, package.Read(rels), pugi::parse_default);
  for (pugi::xml_node rel : xml.child("Relationships").children("Relationship")) {
    std::string_view relType = rel.attribute("Type").value();
    if (relType == type ||
        (relType.size() > type.size() && relType.substr(relType.size() - type.size()) == type &&
         type[0] == '/')) {
      return ResolveTarget(PartDirectory(sourcePart), rel.attribute("Target").value());
    }
  }
  return {};
}

void RelateNewPart(const Package& package, const std::string& sourcePart,
                   const std::string& newPart, const std::string& id, const std::string& type,
                   const std::string& contentType, std::map<std::string, DeflatedPart>& parts) {
  std::string rels = RelationshipsPartOf(sourcePart);
  pugi::xml_document relsXml;
  if (package.Has(rels)) {
    ParsePart(relsXml, rels, package.Read(rels), pugi::parse_default);
  } else {
    relsXml.load_string(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>",
        pugi::parse_full);
  }
  std::string dir = PartDirectory(sourcePart);
  std::string target = newPart.rfind(dir, 0) == 0 ? newPart.substr(dir.size()) : "/" + newPart;
  pugi::xml_node rel = relsXml.child("Relationships").append_child("Relationship");
  rel.append_attribute("Id") = id.c_str();
  rel.append_attribute("Type") = type.c_str();
  rel.append_attribute("Target") = target.c_str();
  parts[rels] = SerializeDeflated(relsXml);

  if (!package.Has(kContentTypesPart)) return;
  pugi::xml_document types;
  ParsePart(types, kContentTypesPart, package.Read(kContentTypesPart), pugi::parse_full);
  pugi::xml_node over = types.child("Types").append_child("Override");
  over.append_attribute("PartName") = ("/" + newPart).c_str();
  over.append_attribute("ContentType") = contentType.c_str();
  parts[kContentTypesPart] = SerializeDeflated(types);
}

}  // namespace quillon::docx
