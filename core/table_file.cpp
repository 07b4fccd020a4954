#include "core/table_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/table_format.h"
#include "core/table_name.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace yex {
namespace fs = std::filesystem;
namespace {

// UTF-8 text to a path on every platform (Windows takes wide names).
fs::path PathOf(const std::string& path) {
#if defined(_WIN32) && defined(__cpp_char8_t)
  return fs::u8path(path);
#elif defined(_WIN32)
  return fs::u8path(path);
#else
  return fs::path(path);
#endif
}

std::FILE* Open(const std::string& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wide = PathOf(path).wstring();
  std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wide.c_str(), wmode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

// Data written reaches the disk before the rename makes it the table.
bool FlushToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

}  // namespace

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(PathOf(path), ec);
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(PathOf(path), ec);
}

bool ReadTableFile(const std::string& path, ScatteringTable* table, ErrorKind* kind, std::string* reason) {
  std::error_code ec;
  const fs::file_status st = fs::status(PathOf(path), ec);
  if (!fs::exists(st)) {
    *kind = ErrorKind::MissingTable;
    *reason = "the file does not exist";
    return false;
  }
  if (!fs::is_regular_file(st)) {
    *kind = ErrorKind::Io;
    *reason = "it is not a file";
    return false;
  }
  std::FILE* f = Open(path, "rb");
  if (!f) {
    *kind = ErrorKind::Io;
    *reason = "it cannot be opened";
    return false;
  }
  // Read only as far as the 45th line end; the rest of the file is not used.
  std::string bytes;
  char chunk[65536];
  for (;;) {
    const std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (n == 0) {
      if (std::ferror(f)) {
        std::fclose(f);
        *kind = ErrorKind::Io;
        *reason = "it cannot be read";
        return false;
      }
      break;
    }
    bytes.append(chunk, n);
    const std::size_t end = EndOfLastTableLine(bytes);
    if (end != std::string::npos) {
      bytes.resize(end);
      break;
    }
  }
  std::fclose(f);
  if (!ParseTableBytes(bytes, *table, reason)) {
    *kind = ErrorKind::UnreadableData;
    return false;
  }
  return true;
}

ScatteringTable ReadTableFile(const std::string& path) {
  ScatteringTable t;
  ErrorKind kind = ErrorKind::Io;
  std::string reason;
  if (ReadTableFile(path, &t, &kind, &reason)) return t;
  if (kind == ErrorKind::MissingTable) Fail(kind, "no table " + path);
  Fail(kind, path + ": " + reason);
}

bool WriteTableFile(const std::string& path, const ScatteringTable& table, Existing existing,
                    std::string* reason) {
  std::string content;
  if (!FormatTable(table, &content)) {
    *reason = "the table holds a value that is not a finite number";
    return false;
  }
  const fs::path target = PathOf(path);
  std::error_code ec;
  const fs::file_status st = fs::status(target, ec);
  if (fs::exists(st)) {
    if (existing == Existing::Keep) {
      *reason = "it already exists";
      return false;
    }
    // An existing table is replaced only where it could be written in
    // place: renaming over a read-only file would bypass its protection.
    std::FILE* probe = fs::is_regular_file(st) ? Open(path, "ab") : nullptr;
    if (!probe) {
      *reason = "the existing file cannot be replaced";
      return false;
    }
    std::fclose(probe);
  }
  // A hidden temporary beside the target: the same file system, so the
  // rename is atomic, and the lists leave it out meanwhile.
  const fs::path folder = target.parent_path();
  const std::string base = target.filename().u8string();
  std::string temp;
  std::FILE* f = nullptr;
  for (unsigned i = 0; i < 1000 && !f; ++i) {
    temp = (folder / PathOf("." + base + ".tmp" + std::to_string(i))).u8string();
    f = Open(temp, "wbx");
    if (!f && !IsFolder(folder.empty() ? "." : folder.u8string())) break;
  }
  if (!f) {
    *reason = "the folder cannot be written";
    return false;
  }
  const bool written = std::fwrite(content.data(), 1, content.size(), f) == content.size() && FlushToDisk(f);
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    fs::remove(PathOf(temp), ec);
    *reason = "the file cannot be written";
    return false;
  }
  if (fs::exists(st)) fs::permissions(PathOf(temp), st.permissions(), ec);
  // On Windows too the rename replaces an existing file (MoveFileEx).
  fs::rename(PathOf(temp), target, ec);
  if (ec) {
    fs::remove(PathOf(temp), ec);
    *reason = "the file cannot be replaced";
    return false;
  }
  return true;
}

void WriteTableFile(const std::string& path, const ScatteringTable& table, Existing existing) {
  std::string reason;
  if (WriteTableFile(path, table, existing, &reason)) return;
  if (reason.find("finite") != std::string::npos) Fail(ErrorKind::UnreadableData, path + ": " + reason);
  if (existing == Existing::Keep && reason == "it already exists")
    Fail(ErrorKind::Exists, path + " already exists");
  Fail(ErrorKind::Io, path + ": " + reason);
}

std::vector<std::string> ListTableFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(PathOf(folder), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().u8string();
    if (name.empty() || name[0] == '.' || name.size() < 4 ||
        AsciiLower(name.substr(name.size() - 4)) != ".yex")
      continue;
    std::error_code fe;
    if (fs::is_regular_file(it->path(), fe)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = AsciiLower(a), lb = AsciiLower(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

}  // namespace yex
