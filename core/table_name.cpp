#include "core/table_name.h"

#include "core/elements.h"

namespace yex {

bool IsCreatableTableName(std::string_view base) {
  // A name starting with "." would make a hidden file, which no list shows:
  // a table saved as such could never be loaded.
  if (base.empty() || base[0] == '.') return false;
  for (std::size_t i = 0; i < base.size(); ++i) {
    const char ch = base[i];
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) return false;
    // C1 controls U+0080..U+009F, which UTF-8 writes as C2 80..C2 9F.
    if (c == 0xC2 && i + 1 < base.size() && (static_cast<unsigned char>(base[i + 1]) & 0xE0) == 0x80)
      return false;
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
        return false;
      default:
        break;
    }
  }
  return true;
}

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsShippedElementName(std::string_view base) { return AtomicNumber(base) != 0; }

}  // namespace yex
