// A map from element addresses to small values, kept in one flat array (open addressing with
// linear probing), so that looking up the owner of a mark touches one or two cache lines
// instead of a node per entry as std::unordered_map does. Erasing shifts the entries that
// follow back into the hole, so no tombstones build up over long runs of edits.
//
// Error rule: none of these calls fail except by running out of memory (std::bad_alloc).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon::docx {

template <typename Key, typename Value>
class PointerMap {
 public:
  size_t Size() const { return size_; }

  // Makes room for count entries without growing again.
  void Reserve(size_t count) {
    size_t wanted = kMinimumSlots;
    while (wanted * kLoadDenominator < count * kLoadNumerator) wanted *= 2;
    if (wanted > slots_.size()) Resize(wanted);
  }

  // Removes every entry; the room stays.
  void Clear() {
    for (Slot& slot : slots_) slot = Slot{};
    size_ = 0;
  }

  // Returns the value stored for key (nullptr when there is none, or key is nullptr).
  // Invalidated by Set, Erase and Clear.
  const Value* Find(const Key* key) const {
    if (slots_.empty() || key == nullptr) return nullptr;
    for (size_t i = Home(key);; i = Next(i)) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (slots_[i].key == nullptr) return nullptr;
    }
  }

  // Stores value for key, replacing what was stored. REQUIRES: key != nullptr.
  void Set(const Key* key, Value value) {
    if ((size_ + 1) * kLoadDenominator > slots_.size() * kLoadNumerator) {
      Resize(slots_.empty() ? kMinimumSlots : slots_.size() * 2);
    }
    size_t i = Home(key);
    while (slots_[i].key != nullptr && slots_[i].key != key) i = Next(i);
    if (slots_[i].key == nullptr) ++size_;
    slots_[i].key = key;
    slots_[i].value = value;
  }

  // Starts loading the slot key is looked for first into the cache. Setting many keys of a
  // map larger than the cache, a caller hints at each key a few keys ahead.
  void Prefetch(const Key* key) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[Home(key)]);
  }

  // Removes key's entry; nothing happens when there is none.
  void Erase(const Key* key) {
    if (slots_.empty() || key == nullptr) return;
    size_t hole = Home(key);
    while (slots_[hole].key != key) {
      if (slots_[hole].key == nullptr) return;
      hole = Next(hole);
    }
    slots_[hole] = Slot{};
    --size_;
    // Moves back each following entry of the run whose home does not lie between the hole
    // and its slot, so that every entry stays reachable from its home.
    for (size_t i = Next(hole); slots_[i].key != nullptr; i = Next(i)) {
      size_t home = Home(slots_[i].key);
      bool reachable = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
      if (reachable) continue;
      slots_[hole] = slots_[i];
      slots_[i] = Slot{};
      hole = i;
    }
  }

 private:
  struct Slot {
    const Key* key = nullptr;
    Value value{};
  };
  static constexpr size_t kMinimumSlots = 16;
  // At most three quarters full.
  static constexpr size_t kLoadNumerator = 3;
  static constexpr size_t kLoadDenominator = 4;

  size_t Home(const Key* key) const {
    // Fibonacci hashing of the address: its low bits are alignment, its high bits the heap.
    uint64_t h = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(key)) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h >> shift_);
  }
  size_t Next(size_t i) const { return (i + 1) & (slots_.size() - 1); }

  void Resize(size_t count) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(count, Slot{});
    shift_ = 64;
    for (size_t n = count; n > 1; n /= 2) --shift_;
    size_ = 0;
    for (const Slot& slot : old) {
      if (slot.key != nullptr) Set(slot.key, slot.value);
    }
  }

  std::vector<Slot> slots_;  // a power of two in size
  unsigned shift_ = 64;
  size_t size_ = 0;
};

}  // namespace quillon::docx
