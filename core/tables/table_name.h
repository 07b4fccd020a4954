// The one naming rule of tables: how a typed name becomes a file name and a
// display name, which names are the same table, and which names a new table
// may take. Every store and every front end asks here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yex {

// Whether a name ends in ".yex", in any case ("C.yex", "Cu.YEX").
bool HasTableExtension(std::string_view name);
// The file name a typed table name means: "C" -> "C.yex"; "c.YEX" stays.
std::string TableFileName(const std::string& typed);
// A table's display name: its file name without ".yex" (in any case).
std::string TableDisplayName(const std::string& file);

// A name with A-Z as a-z: file names compared without case, as the lists
// order them.
std::string AsciiLower(std::string s);
// Whether two file names name one table: equal but for ASCII case, as on
// the file systems of Windows and macOS.
bool SameTableName(std::string_view a, std::string_view b);
// The lists' order: without case first, then as written.
bool TableNameBefore(const std::string& a, const std::string& b);

// Whether a stored table's file name can be looked for in a folder: not
// empty, no path separator or NUL, not hidden (".name", "..").
bool IsStoredTableFileName(std::string_view file);

// Why a base name typed for a new table cannot become a file in the data
// folder on every common system, or nothing when it can: not empty, no path
// separator, none of : * ? " < > |, no control character (C0, DEL or, in
// UTF-8, C1), no "." first (hidden files, which the lists leave out), no
// trailing dot or space, not a device name of Windows (CON, NUL, COM1, ...,
// also before an extension), and short enough for the file name.
std::optional<std::string> NewTableNameProblem(std::string_view base);
inline bool IsCreatableTableName(std::string_view base) { return !NewTableNameProblem(base); }

// Whether a base name is that of a shipped element table (H to Cf) in any
// case ("Fe", "fe", "FE"): a new table never takes it.
bool IsShippedElementName(std::string_view base);

// What a table's values are per, in every front end's labels and notes:
// "atom" for an element's table, "amount the table describes" (a formula
// unit, or a mixture's quantity holding one atom of its first constituent)
// for any other.
const char* AmountOfTable(std::string_view displayName);

}  // namespace yex
