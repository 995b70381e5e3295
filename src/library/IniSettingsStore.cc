#include "library/IniSettingsStore.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "addin/host/HostError.h"
#include "base/AtomicFile.h"

namespace quillon::library {
namespace {

namespace fs = std::filesystem;

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsHexDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// Appends code point as UTF-8.
void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// A section or key name as QSettings writes it: letters, digits, '_', '-', '.' as they are,
// every other byte as %XX (names are ASCII here; QSettings writes %UXXXX for wider ones).
std::string EscapedName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
        c == '-' || c == '.') {
      out += static_cast<char>(c);
    } else if (c == '/') {
      out += '\\';
    } else {
      out += '%';
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
    }
  }
  return out;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// The config folder the desktop's conventions give.
std::string UserConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

// The lines of path, none when it is missing.
std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Returns whether line is the header of section (escaped name).
bool IsSectionHeader(const std::string& line, const std::string& escapedSection) {
  std::string trimmed = Trimmed(line);
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']' &&
         trimmed.substr(1, trimmed.size() - 2) == escapedSection;
}

bool IsAnySectionHeader(const std::string& line) {
  std::string trimmed = Trimmed(line);
  return !trimmed.empty() && trimmed.front() == '[';
}

// Returns the escaped key of a "key=value" line and puts the raw value in value; empty when
// the line holds no key.
std::string KeyOf(const std::string& line, std::string& value) {
  size_t equals = line.find('=');
  if (equals == std::string::npos) return {};
  value = line.substr(equals + 1);
  return Trimmed(line.substr(0, equals));
}

}  // namespace

std::string IniEscapedValue(const std::string& value) {
  // QSettings marks a stored string that starts with '@' by doubling it.
  const std::string text = !value.empty() && value[0] == '@' ? "@" + value : value;
  std::string out;
  bool needsQuotes = false;
  bool escapeNextIfHex = false;
  for (unsigned char c : text) {
    if (c == ';' || c == ',' || c == '=') needsQuotes = true;
    if (escapeNextIfHex && IsHexDigit(c)) {
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0xF];
      continue;
    }
    escapeNextIfHex = false;
    switch (c) {
      case '\0':
        out += "\\0";
        escapeNextIfHex = true;
        break;
      case '\a':
        out += "\\a";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\v':
        out += "\\v";
        break;
      case '"':
      case '\\':
        out += '\\';
        out += static_cast<char>(c);
        break;
      default:
        if (c <= 0x1F) {
          out += "\\x";
          out += kHexDigits[c >> 4];
          out += kHexDigits[c & 0xF];
          escapeNextIfHex = true;
        } else {
          out += static_cast<char>(c);  // UTF-8 bytes as they are
        }
    }
  }
  if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
    out = "\"" + out + "\"";
  }
  return out;
}

std::string IniUnescapedValue(const std::string& raw) {
  const std::string text = Trimmed(raw);
  std::vector<std::string> items(1);
  bool inQuotes = false;
  bool quotedItem = false;  // whether the current item had quotes (its blanks count)
  size_t i = 0;
  auto endItem = [&] {
    if (!quotedItem) items.back() = Trimmed(items.back());
  };
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"') {
      inQuotes = !inQuotes;
      quotedItem = true;
      ++i;
    } else if (c == '\\' && i + 1 < text.size()) {
      char e = text[i + 1];
      i += 2;
      switch (e) {
        case 'a':
          items.back() += '\a';
          break;
        case 'b':
          items.back() += '\b';
          break;
        case 'f':
          items.back() += '\f';
          break;
        case 'n':
          items.back() += '\n';
          break;
        case 'r':
          items.back() += '\r';
          break;
        case 't':
          items.back() += '\t';
          break;
        case 'v':
          items.back() += '\v';
          break;
        case 'x': {
          uint32_t code = 0;
          while (i < text.size() && IsHexDigit(static_cast<unsigned char>(text[i]))) {
            code = code * 16 + static_cast<uint32_t>(HexValue(static_cast<unsigned char>(text[i])));
            ++i;
          }
          AppendUtf8(items.back(), code);
          break;
        }
        default:
          if (e >= '0' && e <= '7') {
            uint32_t code = static_cast<uint32_t>(e - '0');
            while (i < text.size() && text[i] >= '0' && text[i] <= '7') {
              code = code * 8 + static_cast<uint32_t>(text[i] - '0');
              ++i;
            }
            AppendUtf8(items.back(), code);
          } else {
            items.back() += e;  // \" \\ \' \? and any other escaped character
          }
      }
    } else if (!inQuotes && c == ';') {
      break;  // a comment to the end of the line
    } else if (!inQuotes && c == ',') {
      endItem();
      items.emplace_back();
      quotedItem = false;
      ++i;
    } else {
      items.back() += static_cast<char>(c);
      ++i;
    }
  }
  endItem();
  std::string joined;
  for (size_t n = 0; n < items.size(); ++n) {
    if (n > 0) joined += ", ";
    joined += items[n];
  }
  if (items.size() == 1 && joined.rfind("@@", 0) == 0) joined.erase(0, 1);
  return joined;
}

IniSettingsStore::IniSettingsStore(std::string folder) : folder_(std::move(folder)) {}

std::string IniSettingsStore::FileOf(const std::string& application) const {
  const std::string folder = folder_.empty() ? UserConfigFolder() : folder_;
  return folder + "/" + application + "/" + application + ".conf";
}

std::optional<std::string> IniSettingsStore::GetSetting(const std::string& application,
                                                        const std::string& section,
                                                        const std::string& key) {
  const std::string escapedSection = EscapedName(section);
  const std::string escapedKey = EscapedName(key);
  bool inSection = false;
  for (const std::string& line : ReadLines(FileOf(application))) {
    if (IsAnySectionHeader(line)) {
      inSection = IsSectionHeader(line, escapedSection);
      continue;
    }
    std::string value;
    if (inSection && KeyOf(line, value) == escapedKey) return IniUnescapedValue(value);
  }
  return std::nullopt;
}

void IniSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& value) {
  const std::string path = FileOf(application);
  const std::string escapedSection = EscapedName(section);
  const std::string escapedKey = EscapedName(key);
  const std::string newLine = escapedKey + "=" + IniEscapedValue(value);
  std::vector<std::string> lines = ReadLines(path);

  // Replace the key in its section, or add it at the section's end, or add the section.
  bool inSection = false;
  bool done = false;
  size_t sectionEnd = std::string::npos;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    if (IsAnySectionHeader(lines[i])) {
      if (inSection) break;
      inSection = IsSectionHeader(lines[i], escapedSection);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    std::string ignored;
    if (KeyOf(lines[i], ignored) == escapedKey) {
      lines[i] = newLine;
      done = true;
    } else if (!Trimmed(lines[i]).empty()) {
      sectionEnd = i + 1;
    }
  }
  if (!done && sectionEnd != std::string::npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), newLine);
  } else if (!done) {
    if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + escapedSection + "]");
    lines.push_back(newLine);
  }

  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\n";
  try {
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    WriteFileAtomically(path, bytes);
  } catch (const FileError& e) {
    throw host::HostError(host::kErrCommandFailed,
                          "The settings file cannot be written: " + std::string(e.what()));
  }
}

}  // namespace quillon::library
