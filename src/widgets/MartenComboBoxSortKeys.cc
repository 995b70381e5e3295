#include "widgets/MartenComboBoxSortKeys.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace quillon::widgets {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

int MonthFromName(const std::string& word) {
  static constexpr const char* kNames[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                           "jul", "aug", "sep", "oct", "nov", "dec"};
  static constexpr const char* kFull[] = {"january",   "february", "march",    "april",
                                          "may",       "june",     "july",     "august",
                                          "september", "october",  "november", "december"};
  for (int i = 0; i < 12; ++i) {
    if (word == kNames[i] || word == kFull[i]) return i + 1;
  }
  return 0;
}

struct Token {
  enum Kind { kNumber, kWord, kSeparator } kind;
  std::string text;
  int64_t value = 0;
};

std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (IsDigit(c)) {
      size_t j = i;
      int64_t v = 0;
      while (j < s.size() && IsDigit(s[j])) {
        if (v < 100000) v = v * 10 + (s[j] - '0');
        ++j;
      }
      tokens.push_back({Token::kNumber, std::string(s.substr(i, j - i)), v});
      i = j;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      size_t j = i;
      std::string word;
      while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j]))) {
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(s[j])));
        ++j;
      }
      tokens.push_back({Token::kWord, word, 0});
      i = j;
    } else if (c == ' ' || c == '\t' || c == ',') {
      ++i;
    } else {
      tokens.push_back({Token::kSeparator, std::string(1, c), 0});
      ++i;
    }
  }
  return tokens;
}

int FullYear(const Token& t) {
  if (t.text.size() <= 2) return static_cast<int>(t.value < 30 ? 2000 + t.value : 1900 + t.value);
  return static_cast<int>(t.value);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      end = j;
    }
  }
  // strtod on a copy: the view need not be terminated, and the copy holds only the number.
  std::string number(text.substr(start, end - start));
  return std::strtod(number.c_str(), nullptr);
}

std::optional<double> DateSerial(std::string_view text) {
  std::vector<Token> tokens = Tokenize(text);
  // The time part: a number followed by ":" number, optionally ":" number, optionally AM/PM.
  double timeFraction = 0;
  bool hasTime = false;
  for (size_t i = 0; i + 2 < tokens.size(); ++i) {
    if (tokens[i].kind == Token::kNumber && tokens[i + 1].kind == Token::kSeparator &&
        tokens[i + 1].text == ":" && tokens[i + 2].kind == Token::kNumber) {
      int64_t h = tokens[i].value, m = tokens[i + 2].value, sec = 0;
      size_t end = i + 3;
      if (end + 1 < tokens.size() && tokens[end].kind == Token::kSeparator &&
          tokens[end].text == ":" && tokens[end + 1].kind == Token::kNumber) {
        sec = tokens[end + 1].value;
        end += 2;
      }
      if (end < tokens.size() && tokens[end].kind == Token::kWord &&
          (tokens[end].text == "am" || tokens[end].text == "pm")) {
        if (h < 1 || h > 12) return std::nullopt;
        if (tokens[end].text == "pm" && h != 12) h += 12;
        if (tokens[end].text == "am" && h == 12) h = 0;
        ++end;
      }
      if (end != tokens.size() || h > 23 || m > 59 || sec > 59) return std::nullopt;
      timeFraction = static_cast<double>(h * 3600 + m * 60 + sec) / 86400.0;
      hasTime = true;
      tokens.resize(i);
      break;
    }
  }
  if (tokens.empty()) {
    if (!hasTime) return std::nullopt;
    return timeFraction;
  }
  std::vector<const Token*> numbers;
  int month = 0;
  std::string separator;
  for (const Token& t : tokens) {
    if (t.kind == Token::kNumber) {
      numbers.push_back(&t);
    } else if (t.kind == Token::kWord) {
      if (month != 0 || (month = MonthFromName(t.text)) == 0) return std::nullopt;
    } else if (t.text == "/" || t.text == "-" || t.text == ".") {
      if (!separator.empty() && separator != t.text) return std::nullopt;
      separator = t.text;
    } else {
      return std::nullopt;
    }
  }
  int year = 0, day = 0;
  if (month != 0) {
    if (numbers.size() != 2) return std::nullopt;
    // The year is the number that cannot be a day; otherwise the day comes first.
    bool firstIsYear = numbers[0]->text.size() > 2 || numbers[0]->value > 31;
    day = static_cast<int>(numbers[firstIsYear ? 1 : 0]->value);
    year = FullYear(*numbers[firstIsYear ? 0 : 1]);
  } else {
    if (numbers.size() != 3) return std::nullopt;
    if (numbers[0]->text.size() == 4) {
      year = FullYear(*numbers[0]);
      month = static_cast<int>(numbers[1]->value);
      day = static_cast<int>(numbers[2]->value);
    } else if (separator == ".") {
      day = static_cast<int>(numbers[0]->value);
      month = static_cast<int>(numbers[1]->value);
      year = FullYear(*numbers[2]);
    } else {
      month = static_cast<int>(numbers[0]->value);
      day = static_cast<int>(numbers[1]->value);
      year = FullYear(*numbers[2]);
    }
  }
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return std::nullopt;
  }
  const int64_t kSerialEpoch = DaysFromCivil(1899, 12, 30);
  return static_cast<double>(DaysFromCivil(year, month, day) - kSerialEpoch) + timeFraction;
}

}  // namespace quillon::widgets
