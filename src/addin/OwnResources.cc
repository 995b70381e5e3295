#include "addin/OwnResources.h"

#include <span>
#include <vector>

#include "library/LibraryFiles.h"
#include "ui/ArtworkBytes.h"

namespace quillon::addin {
namespace {

QuillonResource Entry(int32_t kind, int32_t id, const char* name,
                      std::span<const unsigned char> bytes) {
  return {kind, id, name, bytes.data(), bytes.size()};
}

std::vector<QuillonResource> MakeEntries() {
  std::vector<QuillonResource> entries;
  for (int32_t item = 1; item <= ui::kImageList1Count; ++item) {
    const bool barFace = item >= ui::kFirstBarArtwork && item <= ui::kLastBarArtwork;
    entries.push_back(Entry(barFace ? QUILLON_RESOURCE_BITMAP : QUILLON_RESOURCE_DATA, item,
                            nullptr, ui::ArtworkBytes(item)));
  }
  entries.push_back(Entry(QUILLON_RESOURCE_DATA, ui::kArtSearchLarge, nullptr,
                          ui::ArtworkBytes(ui::kArtSearchLarge)));
  entries.push_back(Entry(QUILLON_RESOURCE_DATA, kEmptyLibraryResourceId, kEmptyLibraryResource,
                          library::EmptyLibraryTemplate()));
  return entries;
}

}  // namespace

const QuillonResourceTable& OwnResourceTable() {
  static const std::vector<QuillonResource> entries = MakeEntries();
  static const QuillonResourceTable table{entries.data(), entries.size()};
  return table;
}

void RegisterOwnResources(widgets::ResourceRegistry& registry) {
  const QuillonResourceTable& table = OwnResourceTable();
  for (const QuillonResource& resource : std::span(table.entries, table.count)) {
    std::span<const unsigned char> bytes(resource.bytes, resource.size);
    switch (resource.kind) {
      case QUILLON_RESOURCE_BITMAP:
        registry.Add(widgets::ResourceTypeName(widgets::kResBitmap), resource.id, bytes);
        break;
      case QUILLON_RESOURCE_ICON:
        registry.Add(widgets::ResourceTypeName(widgets::kResIcon), resource.id, bytes);
        break;
      case QUILLON_RESOURCE_CURSOR:
        registry.Add(widgets::ResourceTypeName(widgets::kResCursor), resource.id, bytes);
        break;
      case QUILLON_RESOURCE_DATA:
        registry.Add("CUSTOM", resource.id, bytes);
        break;
      default:  // strings have no place in a registry of pictures and data
        break;
    }
  }
}

}  // namespace quillon::addin
