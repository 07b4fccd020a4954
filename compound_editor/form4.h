// Form4: entry of a chemical compound, element by element.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "toolkit/widgets.h"

namespace yex {

// Row k: caption Label(7+k), name box Text(2+k), count box Text(7+k).
struct ConstituentRow {
  ClickLabel* caption = nullptr;
  ClickLineEdit* name = nullptr;
  ClickLineEdit* count = nullptr;
};

class Form4 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int RowCount = 5;
  Form4();

  void Label1_Click();      // base name + ".mix"
  void Text1_Click();       // base name
  void Label2_Click();      // kind count, untested
  void Text2_Click();       // kind count, tested
  void ElementPick(int k);  // caption or name box of row k
  void AtomCount(int k);    // count box of row k
  void Command1_Click();    // OK
  void Command2_Click();    // Cancel

  const ConstituentRow& row(int k) const { return rows_.at(static_cast<std::size_t>(k - 1)); }
  // How often the window's load ran (once).
  static int loadCount();

  QLabel *Label3, *Label4, *Label5, *Label7;
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
  void ShowRows(bool withCaptions);
  void HideRows();
  std::array<ConstituentRow, RowCount> rows_;
};

}  // namespace yex
