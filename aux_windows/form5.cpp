#include "aux_windows/form5.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "compound_editor/form4.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "toolkit/fonts.h"
#include "toolkit/widgets.h"

namespace yex {
namespace {

QPushButton* ChoiceButton(QWidget* parent, const QString& text, int top, int tabIndex) {
  auto* b = new CommandButton(text, parent);
  b->setFont(VbFont(kTimes, 12));
  PlaceTwips(b, 360, top, 3135, 375);
  SetTabIndex(b, tabIndex);
  return b;
}

}  // namespace

Form5::Form5() {
  setWindowTitle(QStringLiteral("New Data"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(Twips(3900), Twips(2580));

  Label1 = new QLabel(QStringLiteral("新規データの作成"), this);
  Label1->setFont(VbFont(kHgMaruGothic, 12));
  QPalette p = Label1->palette();
  p.setColor(QPalette::WindowText, QColor(0, 0, 255));
  Label1->setPalette(p);
  PlaceTwipsAuto(Label1, 960, 240);

  Command1 = ChoiceButton(this, QStringLiteral("Chemical Compound"), 720, 0);
  Command2 = ChoiceButton(this, QStringLiteral("Mixture"), 1320, 1);
  Command3 = ChoiceButton(this, QStringLiteral("Cancel"), 1920, 2);
  ApplyTabOrder(this);
  connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form5::Command3_Click);
  CentreFrameOnScreen(this);
  InstallFocusMark(this);
}

void Form5::ShowCentred() {
  ShowInFront(this);
  // Command1 has the focus the first time; later the focus stays where the
  // user left it, as for any window that is only hidden and shown.
  if (!shownBefore_) Command1->setFocus();
  shownBefore_ = true;
}

// Both choices: clear the table, point the editor's list at the data folder
// (creating and loading the editor on first use), show it, hide the chooser.
template <typename Editor>
void Form5::OpenEditor(Editor& (*editor)()) {
  Module1::ClearTable();
  Editor& e = editor();
  e.File1->setPath(DataFolder());
  ShowInFront(&e);
  hide();
}

void Form5::Command1_Click() { OpenEditor(&Windows::form4); }

void Form5::Command2_Click() { OpenEditor(&Windows::form6); }

void Form5::Command3_Click() {
  ShowInFront(&Windows::form1());
  hide();
}

void Form5::closeEvent(QCloseEvent* e) { e->ignore(); }

}  // namespace yex
