// Form5: the new-data chooser between the main window and the editors.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace yex {

class Form5 : public QWidget {
  Q_OBJECT
 public:
  Form5();
  // Shows the chooser (centred when made) with the keyboard; the focus is on
  // Command1 the first time and where the user left it afterwards.
  void ShowCentred();

  void Command1_Click();  // Chemical Compound
  void Command2_Click();  // Mixture
  void Command3_Click();  // Cancel

  QLabel* Label1;
  QPushButton *Command1, *Command2, *Command3;

 protected:
  // The window has no control box: its buttons are the only ways out, so a
  // close request from the window manager (Alt+F4) is refused.
  void closeEvent(QCloseEvent* e) override;

 private:
  template <typename Editor>
  void OpenEditor(Editor& (*editor)());
  bool shownBefore_ = false;
};

}  // namespace yex
