// Libraries as CSV: writing, reading with its line numbers, and the texts that are refused whole.
#include "library/LibraryCsv.h"

#include <gtest/gtest.h>

#include <random>

namespace quillon::library {
namespace {

struct ReadCase {
  const char* name;
  std::string text;
  std::string entries;  // each as "line|direction|abb|text", joined by "; "
};

std::string Flatten(const LibraryCsvRecords& records) {
  std::string out;
  for (const OfferedEntry& e : records.entries) {
    out += (out.empty() ? "" : "; ") + std::to_string(e.source) + "|" + e.direction + "|" + e.abb +
           "|" + e.text;
  }
  return out;
}

TEST(LibraryCsv, ReadsRecordsWithTheirLines) {
  const ReadCase cases[] = {
      {"header_only", "direction,abbreviation,meaning\r\n", ""},
      {"crlf", "direction,abbreviation,meaning\r\nL,PCA,principal component analysis\r\n",
       "2|L|PCA|principal component analysis"},
      {"lf_and_no_final_break", "direction,abbreviation,meaning\nL,A,a\nR,B,b", "2|L|A|a; 3|R|B|b"},
      {"quoted_comma_quote_and_break",
       "direction,abbreviation,meaning\n\"L\",\"R&D\",\"research, \"\"and\"\"\ndev\"\nL,X,x\n",
       "2|L|R&D|research, \"and\"\ndev; 4|L|X|x"},
      {"empty_lines_skipped", "direction,abbreviation,meaning\n\nL,A,a\n\n\nL,B,b\n",
       "3|L|A|a; 6|L|B|b"},
      {"columns_in_any_order_and_case", "Meaning, ABBREVIATION ,direction\nalpha,A,R\n",
       "2|R|A|alpha"},
      {"byte_order_mark",
       "\xEF\xBB\xBF"
       "direction,abbreviation,meaning\nL,A,a\n",
       "2|L|A|a"},
      {"empty_values_come_through", "direction,abbreviation,meaning\n,,\n", "2|||"},
      {"unicode",
       "direction,abbreviation,meaning\nR,\xD7\x90\xD7\x91,\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\n",
       "2|R|\xD7\x90\xD7\x91|\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"},
      {"lone_cr_ends_lines", "direction,abbreviation,meaning\rL,A,a\rL,B,b\r", "2|L|A|a; 3|L|B|b"}};
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    LibraryCsvRecords records = ReadLibraryCsv(c.text);
    EXPECT_EQ(records.error, "");
    EXPECT_EQ(records.errorLine, 0);
    EXPECT_EQ(Flatten(records), c.entries);
  }
}

struct BadCase {
  const char* name;
  std::string text;
  long line;
  const char* errorStart;
};

TEST(LibraryCsv, RefusesTheWholeTextOfABadOne) {
  const BadCase cases[] = {
      {"empty", "", 1, "the header direction,abbreviation,meaning is missing"},
      {"wrong_header", "dir,abb,text\nL,A,a\n", 1, "the header is not"},
      {"header_column_twice", "direction,direction,meaning\n", 1, "the header is not"},
      {"header_with_a_fourth_column", "direction,abbreviation,meaning,page\n", 1,
       "the header is not"},
      {"missing_column", "direction,abbreviation,meaning\nL,A,a\nL,B\nL,C,c\n", 3,
       "the record has 2 fields"},
      {"quote_inside_unquoted", "direction,abbreviation,meaning\nL,A,a\"b\n", 2, "bad quoting"},
      {"quote_never_closed", "direction,abbreviation,meaning\nL,A,a\nL,B,\"b\nmore\n", 3,
       "bad quoting"},
      {"invalid_utf8", "direction,abbreviation,meaning\nL,A,a\nL,B,\xC3(\n", 3,
       "the text is not UTF-8"}};
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    LibraryCsvRecords records = ReadLibraryCsv(c.text);
    EXPECT_TRUE(records.entries.empty());
    EXPECT_EQ(records.errorLine, c.line);
    EXPECT_EQ(records.error.rfind(c.errorStart, 0), 0u) << records.error;
  }
}

// Whatever the values hold, what is written reads back as the same rows.
TEST(LibraryCsv, WrittenTextReadsBackTheSame) {
  std::mt19937 random(11);
  const std::vector<std::string> pieces = {"a",  "Z",  " ", ",",        "\"",      "\r",
                                           "\n", "\t", ";", "\xC3\xA9", "\xD7\x90"};
  auto value = [&] {
    std::string v;
    for (int n = static_cast<int>(random() % 8); n > 0; --n) v += pieces[random() % pieces.size()];
    return v;
  };
  for (int round = 0; round < 40; ++round) {
    std::vector<AbbreviationEntry> entries;
    for (int i = 0; i < 5; ++i) entries.push_back({"", value(), value(), value()});
    LibraryCsvRecords records = ReadLibraryCsv(WriteLibraryCsv(entries));
    ASSERT_EQ(records.error, "") << "round " << round;
    ASSERT_EQ(records.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(records.entries[i].direction, entries[i].direction);
      EXPECT_EQ(records.entries[i].abb, entries[i].abb);
      EXPECT_EQ(records.entries[i].text, entries[i].abbtext);
    }
  }
}

}  // namespace
}  // namespace quillon::library
