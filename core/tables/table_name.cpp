#include "core/tables/table_name.h"

#include "core/elements/elements.h"

namespace yex {
namespace {

constexpr std::string_view kExtension = ".yex";
// The longest file name most file systems take, in bytes.
constexpr std::size_t kMaxFileNameBytes = 255;

bool IsWindowsDeviceName(std::string_view base) {
  // Windows opens the device for such a name, with any extension after it.
  std::string stem = AsciiLower(std::string(base.substr(0, base.find('.'))));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (const char* d : {"con", "prn", "aux", "nul", "conin$", "conout$"})
    if (stem == d) return true;
  return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool HasTableExtension(std::string_view name) {
  return name.size() >= kExtension.size() &&
         SameTableName(name.substr(name.size() - kExtension.size()), kExtension);
}

std::string TableFileName(const std::string& typed) {
  return HasTableExtension(typed) ? typed : typed + std::string(kExtension);
}

std::string TableDisplayName(const std::string& file) {
  return HasTableExtension(file) ? file.substr(0, file.size() - kExtension.size()) : file;
}

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool SameTableName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool TableNameBefore(const std::string& a, const std::string& b) {
  const std::string la = AsciiLower(a), lb = AsciiLower(b);
  return la != lb ? la < lb : a < b;
}

bool IsStoredTableFileName(std::string_view file) {
  return !file.empty() && file[0] != '.' &&
         file.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<std::string> NewTableNameProblem(std::string_view base) {
  if (base.empty()) return "the name is empty";
  // A name starting with "." would make a hidden file, which no list shows:
  // a table saved as such could never be loaded.
  if (base[0] == '.') return "a name must not begin with \".\"";
  for (std::size_t i = 0; i < base.size(); ++i) {
    const char ch = base[i];
    const unsigned char c = static_cast<unsigned char>(ch);
    // C1 controls U+0080..U+009F, which UTF-8 writes as C2 80..C2 9F.
    if (c < 0x20 || c == 0x7f ||
        (c == 0xC2 && i + 1 < base.size() && (static_cast<unsigned char>(base[i + 1]) & 0xE0) == 0x80))
      return "a name must not hold a control character";
    switch (ch) {
      case '/':
      case '\\':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
        return std::string("a name must not hold ") + ch;
      default:
        break;
    }
  }
  if (base.back() == '.' || base.back() == ' ') return "a name must not end in a dot or a space";
  if (IsWindowsDeviceName(base)) return "the name is a device of Windows";
  if (base.size() + kExtension.size() > kMaxFileNameBytes)
    return "the name is longer than " + std::to_string(kMaxFileNameBytes - kExtension.size()) + " bytes";
  return std::nullopt;
}

bool IsShippedElementName(std::string_view base) {
  for (int z = 1; z <= ElementCount; ++z)
    if (SameTableName(base, ElementSymbol(z))) return true;
  return false;
}

const char* AmountOfTable(std::string_view displayName) {
  for (int z = 1; z <= ElementCount; ++z)
    if (displayName == ElementSymbol(z)) return "atom";
  return "amount the table describes";
}

}  // namespace yex
