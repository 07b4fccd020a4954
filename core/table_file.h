// Table files on disk in plain C++: reading the first 45 lines, writing
// atomically (a temporary file in the same folder, flushed, then renamed
// over the target, so a failure leaves any old table untouched), and the
// folder's list of tables.
#pragma once

#include <string>
#include <vector>

#include "core/error.h"
#include "core/table.h"

namespace yex {

// Reads a table file. False with the kind and a short reason ("the file
// does not exist", "it is not a file", "it holds 44 lines, a table needs
// 45", ...) on failure; `table` is then unspecified.
bool ReadTableFile(const std::string& path, ScatteringTable* table, ErrorKind* kind, std::string* reason);
// The same, throwing Error: "no table PATH" for a file that is not there,
// "PATH: REASON" otherwise.
ScatteringTable ReadTableFile(const std::string& path);

enum class Existing { Replace, Keep };

// Writes the 45 rows as CR LF lines. With Existing::Keep an existing file
// is an error ("PATH already exists"). Throws Error (Io, or UnreadableData
// for a value that has no text); a failure changes nothing on disk.
void WriteTableFile(const std::string& path, const ScatteringTable& table,
                    Existing existing = Existing::Replace);
// The same with the short reason instead of an exception.
bool WriteTableFile(const std::string& path, const ScatteringTable& table, Existing existing,
                    std::string* reason);

// The names of the folder's "*.yex" files (any case, no hidden ".name"),
// compared without case as the file lists order them; empty when the
// folder is missing.
std::vector<std::string> ListTableFiles(const std::string& folder);

bool IsFolder(const std::string& path);
bool IsFile(const std::string& path);

}  // namespace yex
