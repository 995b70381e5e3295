// A multi-pattern matcher (Aho-Corasick): finds every occurrence of any of many byte patterns
// in one pass over a text, whatever the number of patterns.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillon {

class AhoCorasick {
 public:
  // One occurrence: bytes [start, end) of the text hold pattern id.
  struct Match {
    size_t start;
    size_t end;
    uint32_t id;
  };

  // Adds pattern and returns its id (ids count from 0 in the order patterns were first added;
  // adding the same bytes again returns the first id). An empty pattern is ignored and gets
  // kNoPattern. Adding after Build makes the next Find build again.
  uint32_t Add(std::string_view pattern);
  static constexpr uint32_t kNoPattern = UINT32_MAX;

  // Returns the number of distinct patterns added.
  size_t PatternCount() const { return patterns_.size(); }

  // Calls onMatch(Match) for every occurrence of every pattern in text, in the order of their
  // ends (longer patterns first among those ending at the same byte). Overlapping occurrences
  // are all reported.
  template <typename OnMatch>
  void Find(std::string_view text, OnMatch&& onMatch) {
    Build();
    FindStartingIn(text, 0, text.size(), onMatch);
  }

  // Prepares the matcher for the patterns added; Find does it when needed. A prepared matcher
  // may run FindStartingIn on several threads at once.
  void Build();

  // Calls onMatch(Match) as Find does, for the occurrences in text that start at a byte in
  // [from, to): the parts of a long text can be searched apart, on several threads.
  // REQUIRES: Build was called after the last Add.
  template <typename OnMatch>
  void FindStartingIn(std::string_view text, size_t from, size_t to, OnMatch&& onMatch) const {
    // No occurrence starting before `to` ends beyond `to` plus the longest pattern.
    const size_t stop = std::min(text.size(), to + (longest_ > 0 ? longest_ - 1 : 0));
    uint32_t state = 0;
    for (size_t i = from; i < stop; ++i) {
      state = Next(state, static_cast<unsigned char>(text[i]));
      for (uint32_t s = nodes_[state].pattern != kNoPattern ? state : nodes_[state].output; s != 0;
           s = nodes_[s].output) {
        const uint32_t id = nodes_[s].pattern;
        const size_t start = i + 1 - patterns_[id].size();
        if (start < to) onMatch(Match{start, i + 1, id});
      }
    }
  }

  // Returns every occurrence in text, as Find reports them.
  std::vector<Match> FindAll(std::string_view text);

 private:
  struct Node {
    uint32_t firstEdge = 0;  // edges_[firstEdge, firstEdge + edgeCount), sorted by byte
    uint32_t edgeCount = 0;
    uint32_t fail = 0;
    uint32_t output = 0;  // the nearest node on the fail chain that ends a pattern; 0: none
    uint32_t pattern = kNoPattern;
  };
  struct Edge {
    unsigned char byte;
    uint32_t target;
  };

  // Returns the child of state on byte, or 0 when it has none.
  uint32_t Child(uint32_t state, unsigned char byte) const;
  uint32_t Next(uint32_t state, unsigned char byte) const {
    while (true) {
      if (state == 0) return root_[byte];
      if (uint32_t child = Child(state, byte)) return child;
      state = nodes_[state].fail;
    }
  }

  // Returns a copy of pattern that lives as long as the matcher.
  std::string_view Keep(std::string_view pattern);

  // Patterns are kept in large blocks: thousands of them cost a few allocations.
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t blockUsed_ = 0;
  size_t blockSize_ = 0;
  std::vector<std::string_view> patterns_;
  std::unordered_map<std::string_view, uint32_t> ids_;
  std::vector<Node> nodes_;  // nodes_[0] is the root
  std::vector<Edge> edges_;
  uint32_t root_[256] = {};
  size_t longest_ = 0;  // bytes in the longest pattern
  bool built_ = false;
};

}  // namespace quillon
