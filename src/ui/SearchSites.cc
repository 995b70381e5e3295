#include "ui/SearchSites.h"

namespace quillon::ui {

const std::array<SearchSite, 4>& SearchSites() {
  static const std::array<SearchSite, 4> sites = {{
      {"Acronyma", "AcronymaBase", "https://www.acronyma.com/"},
      {"AcronymFinder", "AcronymFinderBase", "https://www.acronymfinder.com/"},
      {"All-Acronyms", "AllAcronymsBase", "https://www.allacronyms.com/"},
      {"TheFreeDictionary", "TheFreeDictionaryBase", "https://acronyms.thefreedictionary.com/"},
  }};
  return sites;
}

const SearchSite* FindSearchSite(std::string_view name) {
  for (const SearchSite& site : SearchSites()) {
    if (name == site.name) return &site;
  }
  return nullptr;
}

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (unsigned char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string SearchAddress(const SearchSite& site, const std::string& base, std::string_view typed) {
  const std::string text = PercentEncode(typed);
  const std::string_view name = site.name;
  if (name == "Acronyma") return base + "search.jsp?query=" + text + "&language=en&st=a";
  if (name == "AcronymFinder") return base + text + ".html";
  return base + text;
}

std::string BaseAddressOf(
    const SearchSite& site,
    const std::function<std::optional<std::string>(const char* key)>& lookup) {
  std::optional<std::string> stored = lookup ? lookup(site.settingKey) : std::nullopt;
  if (!stored || stored->empty() ||
      !(stored->starts_with("https://") || stored->starts_with("http://"))) {
    return site.defaultBase;
  }
  if (!stored->ends_with("/")) *stored += '/';
  return *stored;
}

}  // namespace quillon::ui
