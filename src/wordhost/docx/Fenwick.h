// A Fenwick (binary indexed) tree over non-negative counts: prefix sums and "which slot holds
// position p" in O(log n), with O(log n) updates. Story positions and page numbers use it so
// that an edit in one paragraph does not make every later position expensive.
#pragma once

#include <cstddef>
#include <vector>

namespace quillon::docx {

class Fenwick {
 public:
  // Replaces the contents with values.
  void Assign(const std::vector<long>& values) {
    size_ = values.size();
    tree_.assign(size_ + 1, 0);
    for (size_t i = 0; i < size_; ++i) {
      tree_[i + 1] += values[i];
      size_t parent = (i + 1) + ((i + 1) & (~(i + 1) + 1));
      if (parent <= size_) tree_[parent] += tree_[i + 1];
    }
    top_ = 1;
    while (top_ * 2 <= size_) top_ *= 2;
  }
  // Adds delta to slot i. REQUIRES: i < size().
  void Add(size_t i, long delta) {
    for (size_t k = i + 1; k <= size_; k += k & (~k + 1)) tree_[k] += delta;
  }
  // Returns the sum of slots [0, n). REQUIRES: n <= size().
  long Prefix(size_t n) const {
    long sum = 0;
    for (size_t k = n; k > 0; k -= k & (~k + 1)) sum += tree_[k];
    return sum;
  }
  // Returns the smallest i with Prefix(i + 1) > pos, or size() when pos >= the total.
  size_t Find(long pos) const {
    size_t index = 0;
    for (size_t step = top_; step > 0; step >>= 1) {
      if (index + step <= size_ && tree_[index + step] <= pos) {
        index += step;
        pos -= tree_[index];
      }
    }
    return index;
  }
  size_t size() const { return size_; }

 private:
  std::vector<long> tree_{0};
  size_t size_ = 0;
  size_t top_ = 0;
};

}  // namespace quillon::docx
