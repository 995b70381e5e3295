#include "library/LibraryCsv.h"

#include <csv.h>

#include <array>
#include <memory>

#include "base/Text.h"
#include "base/Utf8.h"

namespace quillon::library {
namespace {

constexpr std::array<std::string_view, 3> kColumns = {"direction", "abbreviation", "meaning"};

void AppendQuoted(std::string& out, const std::string& value) {
  std::string quoted(value.size() * 2 + 2, '\0');
  quoted.resize(csv_write(quoted.data(), quoted.size(), value.data(), value.size()));
  out += quoted;
}

// Line numbers of a byte stream: CR LF, LF and a lone CR each end one line.
class LineCounter {
 public:
  void Take(char byte) {
    if (byte == '\n') {
      if (!afterCr_) ++line_;
    } else if (byte == '\r') {
      ++line_;
    }
    afterCr_ = byte == '\r';
  }
  long line() const { return line_; }

 private:
  long line_ = 1;
  bool afterCr_ = false;
};

long LineOf(std::string_view text, size_t offset) {
  LineCounter lines;
  for (size_t i = 0; i < offset; ++i) lines.Take(text[i]);
  return lines.line();
}

// The records of one parse, checked as they end.
class RecordCollector {
 public:
  void Field(const char* data, size_t size) { fields_.emplace_back(data, size); }

  // Ends the record that started on startLine. Returns false, with the error set, when the
  // record is not what a library CSV holds.
  bool EndRecord(long startLine) {
    std::vector<std::string> fields = std::move(fields_);
    fields_.clear();
    if (!headerSeen_) {
      headerSeen_ = true;
      return ReadHeader(fields, startLine);
    }
    if (fields.size() != kColumns.size()) {
      Fail(startLine, "the record has " + std::to_string(fields.size()) +
                          (fields.size() == 1 ? " field" : " fields") +
                          "; every record has three: " + std::string(kLibraryCsvHeader));
      return false;
    }
    OfferedEntry entry;
    entry.source = startLine;
    entry.direction = std::move(fields[order_[0]]);
    entry.abb = std::move(fields[order_[1]]);
    entry.text = std::move(fields[order_[2]]);
    result_.entries.push_back(std::move(entry));
    return true;
  }

  void Fail(long line, std::string message) {
    result_.entries.clear();
    result_.errorLine = line;
    result_.error = std::move(message);
  }

  bool headerSeen() const { return headerSeen_; }
  LibraryCsvRecords& result() { return result_; }

 private:
  bool ReadHeader(std::vector<std::string>& names, long line) {
    std::array<bool, 3> found{};
    bool ok = names.size() == kColumns.size();
    for (size_t i = 0; ok && i < names.size(); ++i) {
      std::string name = LowerCase(TrimSpaces(names[i]));
      ok = false;
      for (size_t c = 0; c < kColumns.size(); ++c) {
        if (name == kColumns[c] && !found[c]) {
          found[c] = true;
          order_[c] = i;
          ok = true;
        }
      }
    }
    if (!ok) {
      Fail(line, "the header is not " + std::string(kLibraryCsvHeader));
      return false;
    }
    return true;
  }

  std::vector<std::string> fields_;
  std::array<size_t, 3> order_{};  // order_[column]: the field that holds it
  bool headerSeen_ = false;
  LibraryCsvRecords result_;
};

struct ParseState {
  RecordCollector collector;
  long recordStart = 0;  // line where the current record began; 0 between records
  long line = 1;
  bool failed = false;
};

void OnField(void* data, size_t size, void* context) {
  auto& state = *static_cast<ParseState*>(context);
  state.collector.Field(data == nullptr ? "" : static_cast<const char*>(data), size);
}

void OnRecordEnd(int, void* context) {
  auto& state = *static_cast<ParseState*>(context);
  if (state.failed) return;
  if (!state.collector.EndRecord(state.recordStart != 0 ? state.recordStart : state.line)) {
    state.failed = true;
  }
  state.recordStart = 0;
}

struct ParserDeleter {
  void operator()(csv_parser* parser) const {
    csv_free(parser);
    delete parser;
  }
};

constexpr const char* kBadQuoting =
    "bad quoting: a quote inside an unquoted value, text after a closing quote, or a quoted "
    "value that is never closed";

}  // namespace

std::string WriteLibraryCsv(const std::vector<AbbreviationEntry>& entries) {
  std::string out(kLibraryCsvHeader);
  out += "\r\n";
  for (const AbbreviationEntry& entry : entries) {
    AppendQuoted(out, entry.direction);
    out += ',';
    AppendQuoted(out, entry.abb);
    out += ',';
    AppendQuoted(out, entry.abbtext);
    out += "\r\n";
  }
  return out;
}

LibraryCsvRecords ReadLibraryCsv(std::string_view text) {
  ParseState state;
  size_t invalid = FindInvalidUtf8(text);
  if (invalid != std::string_view::npos) {
    state.collector.Fail(LineOf(text, invalid), "the text is not UTF-8");
    return std::move(state.collector.result());
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  std::unique_ptr<csv_parser, ParserDeleter> parser(new csv_parser);
  if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI) != 0) {
    state.collector.Fail(1, "out of memory");
    return std::move(state.collector.result());
  }
  LineCounter lines;
  // One byte at a time, so every record knows the line it starts on and an error its line.
  for (size_t i = 0; i < text.size() && !state.failed; ++i) {
    const char byte = text[i];
    state.line = lines.line();
    if (state.recordStart == 0 && byte != '\r' && byte != '\n' && byte != ' ' && byte != '\t') {
      state.recordStart = state.line;
    }
    if (csv_parse(parser.get(), &byte, 1, OnField, OnRecordEnd, &state) != 1) {
      state.collector.Fail(state.line, csv_error(parser.get()) == CSV_EPARSE
                                           ? kBadQuoting
                                           : csv_strerror(csv_error(parser.get())));
      return std::move(state.collector.result());
    }
    lines.Take(byte);
  }
  if (state.failed) return std::move(state.collector.result());
  state.line = lines.line();
  if (csv_fini(parser.get(), OnField, OnRecordEnd, &state) != 0) {
    state.collector.Fail(state.recordStart != 0 ? state.recordStart : state.line, kBadQuoting);
    return std::move(state.collector.result());
  }
  if (!state.failed && !state.collector.headerSeen()) {
    state.collector.Fail(1, "the header " + std::string(kLibraryCsvHeader) + " is missing");
  }
  return std::move(state.collector.result());
}

}  // namespace quillon::library
