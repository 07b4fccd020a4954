// Form1: the main window. File selection, GO with listing and chart, point
// lookup and row display, and the ways to the other windows.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "main_window/picture_box.h"
#include "toolkit/widgets.h"

namespace yex {

class Form1 : public QWidget {
  Q_OBJECT
 public:
  Form1();

  // Handlers, named after their control and event.
  void File1_Click(const QString& name);
  void Command1_Click();  // end
  void Command2_Click();  // GO
  void Command3_Click();  // data source
  void Command4_Click();  // new data
  void Text1_KeyPress(int keyAscii);
  void Text1_Click();
  void List1_Click();

  QLabel* Label1;
  FileListBox* File1;
  QLabel *Label23, *Label8, *Label2, *Label7;
  QLabel *Label9, *Label17_2;
  QLabel *Label13, *Label14, *Label15, *Label17_0;
  QListWidget* List1;
  QLabel *Label11, *Label3, *Label10;
  ClickLineEdit *Text1, *Text2, *Text3;
  QPushButton *Command1, *Command2, *Command3, *Command4;
  PictureBox* Picture1;
  QLabel* Label4;
  QLabel* Picture2;

 protected:
  void closeEvent(QCloseEvent* e) override;  // Form_Unload

 private:
  void NameForScreenReaders();
  void Form_Load();
  void DrawChart();
  void ShowRow(int row);
};

}  // namespace yex
