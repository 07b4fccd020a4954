// Form6: entry of a mixture by weight.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "toolkit/widgets.h"

namespace yex {

// Row k: caption, name box, atomic-weight box, weight box.
struct MixtureRow {
  ClickLabel* caption = nullptr;
  ClickLineEdit* name = nullptr;
  ClickLineEdit* atomicWeight = nullptr;
  ClickLineEdit* weight = nullptr;
};

class Form6 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int RowCount = 10;
  Form6();

  void Label1_Click();  // base name (Label1 and Text1 do the same)
  void Text1_Click();
  void Label2_Click();            // count; rows without atomic-weight boxes
  void Text2_Click();             // count; rows with atomic-weight boxes
  void ConstituentPick(int k);    // caption or name box of row k
  void AtomicWeightEntry(int k);  // atomic-weight box of row k
  void WeightEntry(int k);        // weight box of row k
  void Command1_Click();          // OK
  void Command2_Click();          // Cancel

  const MixtureRow& row(int k) const { return rows_.at(static_cast<std::size_t>(k - 1)); }
  static int loadCount();

  QLabel *Label3, *Label4, *Label5, *Label6, *Label7;
  ClickLabel *Label1, *Label2;
  ClickLineEdit *Text1, *Text2;
  FileListBox* File1;
  QPushButton *Command1, *Command2;

 protected:
  // The window has no control box: its buttons are the only ways out, so a
  // close request from the window manager (Alt+F4) is refused.
  void closeEvent(QCloseEvent* e) override;

 private:
  void Form_Load();
  void CountEntry(const QString& message, bool withAtomicWeights);
  void HideRows();
  std::array<MixtureRow, RowCount> rows_;
};

}  // namespace yex
