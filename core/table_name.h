#pragma once

#include <string>
#include <string_view>

namespace yex {

// Whether a base name typed for a new table can become a file in the data
// folder on any common file system: not empty, no path separator, none of
// : * ? " < > |, no control character (C0, DEL or, in UTF-8, C1), and no
// "." first (".", ".." and hidden files, which the lists leave out).
bool IsCreatableTableName(std::string_view base);

// A name with A-Z as a-z: file names compared without case, as the lists
// order them.
std::string AsciiLower(std::string s);

// Whether a base name is that of a shipped element table (H to Cf, as the
// symbol is written): a new table never takes it.
bool IsShippedElementName(std::string_view base);

}  // namespace yex
