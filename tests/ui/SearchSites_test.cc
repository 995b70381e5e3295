#include "ui/SearchSites.h"

#include <gtest/gtest.h>

#include <map>

namespace quillon::ui {
namespace {

TEST(SearchSites, PercentEncodingKeepsTheQueryWhole) {
  // Letters, digits and "-._~" stay; every other byte, the escape character and the bytes of
  // a multi-byte character too, is written as %XX.
  const std::pair<const char*, const char*> cases[] = {
      {"SNR", "SNR"}, {"a-b.c_d~e", "a-b.c_d~e"}, {"100%", "100%25"}, {"größe", "gr%C3%B6%C3%9Fe"}};
  for (const auto& [typed, encoded] : cases) EXPECT_EQ(PercentEncode(typed), encoded) << typed;
}

TEST(SearchSites, AddressOfEachSite) {
  const struct {
    const char* site;
    const char* typed;
    const char* address;
  } cases[] = {
      {"Acronyma", "R&D", "https://b/search.jsp?query=R%26D&language=en&st=a"},
      {"AcronymFinder", "SNR", "https://b/SNR.html"},
      {"All-Acronyms", "SNR", "https://b/SNR"},  // nothing after the text
      {"TheFreeDictionary", "a b", "https://b/a%20b"},
      {"All-Acronyms", "  ", "https://b/%20%20"},  // spaces only still count as a text
  };
  for (const auto& c : cases) {
    const SearchSite* site = FindSearchSite(c.site);
    ASSERT_NE(site, nullptr) << c.site;
    EXPECT_EQ(SearchAddress(*site, "https://b/", c.typed), c.address) << c.site;
  }
  EXPECT_EQ(FindSearchSite("Nowhere"), nullptr);
}

TEST(SearchSites, BaseAddressesAreSettingsWithDefaults) {
  std::map<std::string, std::string> stored = {
      {"AcronymaBase", "https://mirror.example/acronyma"},  // "/" added
      {"AcronymFinderBase", ""},                            // empty: the default
      {"AllAcronymsBase", "file:///etc/"},                  // not a web address: the default
  };
  auto lookup = [&](const char* key) -> std::optional<std::string> {
    auto it = stored.find(key);
    if (it == stored.end()) return std::nullopt;
    return it->second;
  };
  const auto& sites = SearchSites();
  EXPECT_EQ(BaseAddressOf(sites[0], lookup), "https://mirror.example/acronyma/");
  for (size_t i = 1; i < sites.size(); ++i)
    EXPECT_EQ(BaseAddressOf(sites[i], lookup), sites[i].defaultBase) << i;
  for (const SearchSite& site : sites) EXPECT_TRUE(std::string(site.defaultBase).ends_with("/"));
}

}  // namespace
}  // namespace quillon::ui
