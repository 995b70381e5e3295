// The acronym sites of the online search: their names, the addresses a search opens, and
// their base addresses, which are settings with defaults. No Qt: the form and the tests share
// it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::ui {

struct SearchSite {
  const char* name;         // the row text in the site list
  const char* settingKey;   // the key of its base address in the settings
  const char* defaultBase;  // the base address used when the settings hold none
};

// The four sites in the order the form adds them.
const std::array<SearchSite, 4>& SearchSites();

// Returns the site named name, or nullptr for an unknown name.
const SearchSite* FindSearchSite(std::string_view name);

// Percent-encodes text for use inside an address: every byte except letters, digits and
// "-._~" becomes %XX (UTF-8 bytes, upper-case hexadecimal), so a space, "&", "#", "?", "/" or
// non-ASCII text cannot break or redirect the query.
std::string PercentEncode(std::string_view text);

// The address a search for typed opens on site, from its base address (which ends in "/"):
// "Acronyma" base + "search.jsp?query=" + text + "&language=en&st=a"; "AcronymFinder" base
// + text + ".html"; the others base + text. The typed text is percent-encoded.
std::string SearchAddress(const SearchSite& site, const std::string& base, std::string_view typed);

// Reads a site's base address from the settings: lookup(key) gives the stored value, if any.
// A stored value that is empty, or that is not an http or https address, gives the default;
// a missing final "/" is added.
std::string BaseAddressOf(const SearchSite& site,
                          const std::function<std::optional<std::string>(const char* key)>& lookup);

}  // namespace quillon::ui
