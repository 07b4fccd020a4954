#include "app/scattering_data/table_name.h"

namespace yex {

bool IsCreatableTableName(std::string_view base) {
  if (base.empty() || base == "." || base == "..") return false;
  for (char ch : base) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) return false;
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

}  // namespace yex
