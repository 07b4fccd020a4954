// The one error type of the core: what went wrong, as a kind every front
// end maps once (an exit status, a Python exception, a message on the page),
// and a plain English message naming the file, option or constituent.
#pragma once

#include <stdexcept>
#include <string>

namespace yex {

enum class ErrorKind {
  Usage,           // the request itself is wrong: an option, a number, a name
  MissingTable,    // a table (or the data folder) is not there
  UnreadableData,  // a table is there but holds no usable table
  OutOfRange,      // the request is sound but the tables cannot answer it
  Io,              // reading or writing a file failed
  Exists,          // a new table would replace one that is there
};

class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

// "usage", "missing table", "unreadable data", "out of range", "i/o".
const char* ErrorKindName(ErrorKind kind);

[[noreturn]] inline void Fail(ErrorKind kind, const std::string& message) { throw Error(kind, message); }

}  // namespace yex
