#include "core/error.h"

namespace yex {

const char* ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::Usage:
      return "usage";
    case ErrorKind::MissingTable:
      return "missing table";
    case ErrorKind::UnreadableData:
      return "unreadable data";
    case ErrorKind::OutOfRange:
      return "out of range";
    case ErrorKind::Io:
      return "i/o";
    case ErrorKind::Exists:
      return "exists";
  }
  return "";
}

}  // namespace yex
