#include "app/scattering_data/module1.h"

#include "core/tables/table_format.h"

namespace yex::Module1 {

RowStrings RowText;
RowValues XData;
RowValues FData;
RowValues SData;
std::string SelectedFile;
std::string WorkPath;

double ElementKindCount = 0.0;
ConstituentStrings ElementFile;
ConstituentValues ElementAmount;
ConstituentColumns ElementFData;
ConstituentColumns ElementSData;
ConstituentValues AtomicWeight;
ConstituentValues AtomRatio;

void CommitTable(const ScatteringTable& t) {
  for (int r = 1; r <= TableRowCount; ++r) {
    RowText(r) = t.rowText[r];
    XData(r) = t.x[r];
    FData(r) = t.f[r];
    SData(r) = t.s[r];
  }
}

ScatteringTable CurrentTable() {
  ScatteringTable t;
  for (int r = 1; r <= TableRowCount; ++r) {
    t.rowText[r] = RowText(r);
    t.x[r] = XData(r);
    t.f[r] = FData(r);
    t.s[r] = SData(r);
  }
  return t;
}

void ClearTable() {
  for (int r = 1; r <= TableRowCount; ++r) {
    XData(r) = 0.0;
    FData(r) = 0.0;
    SData(r) = 0.0;
  }
}

void ResetAll() {
  RowText.fill(std::string());
  XData.fill(0.0);
  FData.fill(0.0);
  SData.fill(0.0);
  SelectedFile.clear();
  WorkPath.clear();
  ElementKindCount = 0.0;
  ElementFile.fill(std::string());
  ElementAmount.fill(0.0);
  ElementFData.fill(0.0);
  ElementSData.fill(0.0);
  AtomicWeight.fill(0.0);
  AtomRatio.fill(0.0);
}

}  // namespace yex::Module1

namespace yex {
bool FormatCurrentTable(std::string* text) { return FormatTable(Module1::CurrentTable(), text); }
}  // namespace yex
