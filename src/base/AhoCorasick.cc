#include "base/AhoCorasick.h"

#include <algorithm>
#include <numeric>

namespace quillon {

std::string_view AhoCorasick::Keep(std::string_view pattern) {
  if (blocks_.empty() || blockSize_ - blockUsed_ < pattern.size()) {
    blockSize_ = std::max<size_t>(size_t{1} << 16, pattern.size());
    blocks_.push_back(std::make_unique<char[]>(blockSize_));
    blockUsed_ = 0;
  }
  char* at = blocks_.back().get() + blockUsed_;
  std::copy(pattern.begin(), pattern.end(), at);
  blockUsed_ += pattern.size();
  return {at, pattern.size()};
}

uint32_t AhoCorasick::Add(std::string_view pattern) {
  if (pattern.empty()) return kNoPattern;
  if (auto it = ids_.find(pattern); it != ids_.end()) return it->second;
  const uint32_t id = static_cast<uint32_t>(patterns_.size());
  patterns_.push_back(Keep(pattern));
  longest_ = std::max(longest_, pattern.size());
  ids_.emplace(patterns_.back(), id);
  built_ = false;
  return id;
}

uint32_t AhoCorasick::Child(uint32_t state, unsigned char byte) const {
  const Node& node = nodes_[state];
  const Edge* first = edges_.data() + node.firstEdge;
  const Edge* last = first + node.edgeCount;
  if (node.edgeCount <= 8) {
    for (const Edge* e = first; e != last; ++e) {
      if (e->byte == byte) return e->target;
    }
    return 0;
  }
  const Edge* e = std::lower_bound(first, last, byte,
                                   [](const Edge& edge, unsigned char b) { return edge.byte < b; });
  return e != last && e->byte == byte ? e->target : 0;
}

void AhoCorasick::Build() {
  if (built_) return;
  size_t bytes = 0;
  for (std::string_view pattern : patterns_) bytes += pattern.size();
  nodes_.assign(1, Node());
  nodes_.reserve(bytes + 1);
  edges_.clear();
  std::fill(std::begin(root_), std::end(root_), 0u);

  // Inserting the patterns in sorted order, each shares with the one before exactly the path
  // of their common prefix, so no child has to be looked up while the trie grows, and each
  // node's children arrive in byte order.
  std::vector<uint32_t> order(patterns_.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(),
            [&](uint32_t a, uint32_t b) { return patterns_[a] < patterns_[b]; });
  struct RawEdge {
    uint32_t parent;
    unsigned char byte;
    uint32_t target;
  };
  std::vector<RawEdge> raw;
  raw.reserve(bytes);
  std::vector<uint32_t> path{0};  // path[k]: the node after k bytes of the previous pattern
  std::string_view previous;
  for (uint32_t id : order) {
    std::string_view pattern = patterns_[id];
    size_t common = 0;
    while (common < previous.size() && common < pattern.size() &&
           previous[common] == pattern[common]) {
      ++common;
    }
    path.resize(common + 1);
    for (size_t k = common; k < pattern.size(); ++k) {
      uint32_t node = static_cast<uint32_t>(nodes_.size());
      nodes_.emplace_back();
      raw.push_back({path.back(), static_cast<unsigned char>(pattern[k]), node});
      path.push_back(node);
    }
    nodes_[path.back()].pattern = id;
    previous = pattern;
  }

  // Group the edges by parent, keeping their byte order (a counting sort).
  for (const RawEdge& e : raw) ++nodes_[e.parent].edgeCount;
  uint32_t next = 0;
  for (Node& node : nodes_) {
    node.firstEdge = next;
    next += node.edgeCount;
    node.edgeCount = 0;
  }
  edges_.resize(raw.size());
  for (const RawEdge& e : raw) {
    Node& parent = nodes_[e.parent];
    edges_[parent.firstEdge + parent.edgeCount++] = {e.byte, e.target};
    if (e.parent == 0) root_[e.byte] = e.target;
  }

  // Fail and output links, breadth first so that every shorter suffix is done before.
  std::vector<uint32_t> queue;
  queue.reserve(nodes_.size());
  for (uint32_t k = 0; k < nodes_[0].edgeCount; ++k) queue.push_back(edges_[k].target);
  for (size_t head = 0; head < queue.size(); ++head) {
    const uint32_t u = queue[head];
    for (uint32_t k = 0; k < nodes_[u].edgeCount; ++k) {
      const Edge edge = edges_[nodes_[u].firstEdge + k];
      const uint32_t fail = Next(nodes_[u].fail, edge.byte);
      Node& v = nodes_[edge.target];
      v.fail = fail;
      v.output = nodes_[fail].pattern != kNoPattern ? fail : nodes_[fail].output;
      queue.push_back(edge.target);
    }
  }
  built_ = true;
}

std::vector<AhoCorasick::Match> AhoCorasick::FindAll(std::string_view text) {
  std::vector<Match> matches;
  Find(text, [&](const Match& m) { matches.push_back(m); });
  return matches;
}

}  // namespace quillon
