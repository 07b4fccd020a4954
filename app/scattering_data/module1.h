// Shared state of the windows: the table in memory and the editors' entry
// storage. One instance of each for the process, zero at start. The core
// takes and returns values; this is where the windows keep theirs.
#pragma once

#include <string>

#include "core/tables/table.h"

namespace yex {

namespace Module1 {
// Current table.
extern RowStrings RowText;
extern RowValues XData;
extern RowValues FData;
extern RowValues SData;
extern std::string SelectedFile;  // bare name last clicked in the main window
extern std::string WorkPath;      // the editors' working file name or path

// Editors' entry storage, shared by the compound and the mixture editor.
extern double ElementKindCount;
extern ConstituentStrings ElementFile;
extern ConstituentValues ElementAmount;
extern ConstituentColumns ElementFData;
extern ConstituentColumns ElementSData;
extern ConstituentValues AtomicWeight;
extern ConstituentValues AtomRatio;

// Copies rows 1..45 of a table read from disk into the current table.
void CommitTable(const ScatteringTable& t);
// Rows 1..45 of RowText, XData, FData and SData as a table value.
ScatteringTable CurrentTable();
// Sets rows 1..45 of XData, FData, SData to zero (the new-data chooser).
void ClearTable();
// Back to the start-up state; used by tests.
void ResetAll();
}  // namespace Module1

// The bytes of the current table's file: FormatTable(Module1::CurrentTable()).
bool FormatCurrentTable(std::string* text);

}  // namespace yex
