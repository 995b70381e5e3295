// The flat address map: what it holds after runs of stores, erasures and clearing, checked
// against std::map, including erasures in the middle of probe runs and across the table's wrap.
#include "wordhost/docx/PointerMap.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace quillon::docx {
namespace {

struct Op {
  enum Kind { kSet, kErase, kClear, kReserve } kind;
  int key;  // index into the keys array; -1 for the null key
  int value;
};

std::vector<Op> FillThenErase(int count, int step) {
  std::vector<Op> ops;
  for (int k = 0; k < count; ++k) ops.push_back({Op::kSet, k, k * 10});
  for (int k = 0; k < count; k += step) ops.push_back({Op::kErase, k, 0});
  for (int k = 0; k < count; k += step) ops.push_back({Op::kSet, k, k + 1});
  return ops;
}

TEST(PointerMap, HoldsWhatAStdMapHolds) {
  struct Case {
    const char* name;
    std::vector<Op> ops;
  };
  std::vector<Op> cleared = FillThenErase(20, 3);
  cleared.insert(cleared.begin(), {Op::kReserve, 0, 1000});
  cleared.insert(cleared.end(), {{Op::kClear, 0, 0}, {Op::kSet, 3, 7}});
  const Case cases[] = {
      {"Empty", {{Op::kErase, 3, 0}, {Op::kErase, -1, 0}}},
      {"OneKey", {{Op::kSet, 1, 5}, {Op::kSet, 1, 6}, {Op::kErase, 1, 0}}},
      {"EraseMissingOrNullKeepsOthers",
       {{Op::kSet, 1, 5}, {Op::kErase, 2, 0}, {Op::kErase, -1, 0}}},
      {"GrowsPastFirstTable", FillThenErase(40, 1)},
      {"EraseEveryOther", FillThenErase(64, 2)},
      {"EraseEveryThird", FillThenErase(50, 3)},
      {"EraseOneInSeven", FillThenErase(64, 7)},
      {"ReservedThenCleared", cleared},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Addresses of one array: neighbours, so their hashes crowd and probe runs form.
    static int keys[64];
    PointerMap<int, int> map;
    std::map<const int*, int> model;
    for (const Op& op : c.ops) {
      const int* key = op.key < 0 ? nullptr : &keys[op.key];
      if (op.kind == Op::kSet) {
        map.Set(key, op.value);
        model[key] = op.value;
      } else if (op.kind == Op::kErase) {
        map.Erase(key);
        model.erase(key);
      } else if (op.kind == Op::kClear) {
        map.Clear();
        model.clear();
      } else {
        map.Reserve(op.value);
      }
      ASSERT_EQ(map.Size(), model.size());
      EXPECT_EQ(map.Find(nullptr), nullptr);
      for (int k = 0; k < 64; ++k) {
        auto it = model.find(&keys[k]);
        const int* found = map.Find(&keys[k]);
        if (it == model.end()) {
          EXPECT_EQ(found, nullptr) << "key " << k;
        } else {
          ASSERT_NE(found, nullptr) << "key " << k;
          EXPECT_EQ(*found, it->second) << "key " << k;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quillon::docx
