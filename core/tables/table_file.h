// Table files on disk in plain C++: reading (strictly, or as the main
// window reads: the first 45 lines by the numeric rule), writing atomically
// and, unless asked to replace, exclusively, and the folder's list.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/tables/table.h"
#include "core/tables/table_format.h"

namespace yex {

enum class Reading {
  Strict,  // a well-formed table only (ParseTableStrict)
  Lenient  // the first 45 lines, every field by the numeric rule
};

// Reads a table file. False with the kind and the problem ("the file does
// not exist", "it is not a file", line 3: "..." is not a table line, ...)
// on failure; `table` is then unspecified.
bool ReadTableFile(const std::string& path, Reading reading, ScatteringTable* table, ErrorKind* kind,
                   TableProblem* problem);
// Strictly, throwing Error: "no table PATH" for a file that is not there,
// "PATH line N: REASON" or "PATH: REASON" otherwise.
ScatteringTable ReadTableFile(const std::string& path);

enum class Existing { Replace, Keep };

// Writes the 45 rows as CR LF lines into a temporary file beside `path`,
// flushed to the disk, then renamed onto `path`: a failure leaves any old
// table untouched and nothing half-written. With Existing::Keep the rename
// creates the file only if no file of that name exists at that moment, so of
// two racing saves one wins and the other is refused as existing. Throws
// Error: Exists, UnreadableData for a value that has no text, Io otherwise.
void WriteTableFile(const std::string& path, const ScatteringTable& table,
                    Existing existing = Existing::Replace);

// Holds an exclusive lock on a folder while it lives (a no-op where the
// system has none to give); saves into the folder take turns under it.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

// The names of the folder's "*.yex" files (any case, no hidden ".name"),
// in the lists' order; empty when the folder is missing.
std::vector<std::string> ListTableFiles(const std::string& folder);

// A UTF-8 path as the file system takes it (Windows' wide names included).
std::filesystem::path PathOf(const std::string& utf8);

// Opens a file by its UTF-8 name (a wide name on Windows), as fopen does.
std::FILE* OpenFile(const std::string& path, const char* mode);
// The system's words for an errno value ("No space left on device").
std::string SystemReason(int error);

bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);
// Whether anything has that name: a file, a folder, a link (even a dangling one).
bool IsThere(const std::string& path);

}  // namespace yex
