#include "app/windows.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>

#include "aux_windows/form3.h"
#include "aux_windows/form5.h"
#include "compound_editor/form4.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "toolkit/fonts.h"
#include "toolkit/widgets.h"

namespace yex::Windows {
namespace {

QPointer<Form1> g_form1;
QPointer<Form3> g_form3;
QPointer<Form4> g_form4;
QPointer<Form5> g_form5;
QPointer<Form6> g_form6;
int g_created[5] = {0, 0, 0, 0, 0};
bool g_ended = false;

template <typename F>
F& Get(QPointer<F>& slot, Which w) {
  if (!slot) {
    ++g_created[static_cast<int>(w)];
    slot = new F();
  }
  return *slot;
}

}  // namespace

Form1& form1() { return Get(g_form1, Which::Form1); }
Form3& form3() { return Get(g_form3, Which::Form3); }
Form4& form4() { return Get(g_form4, Which::Form4); }
Form5& form5() { return Get(g_form5, Which::Form5); }
Form6& form6() { return Get(g_form6, Which::Form6); }

bool exists(Which w) {
  switch (w) {
    case Which::Form1:
      return !g_form1.isNull();
    case Which::Form3:
      return !g_form3.isNull();
    case Which::Form4:
      return !g_form4.isNull();
    case Which::Form5:
      return !g_form5.isNull();
    case Which::Form6:
      return !g_form6.isNull();
  }
  return false;
}

int creations(Which w) { return g_created[static_cast<int>(w)]; }

Form1& StartProgram() {
  // The main window alone decides when the program ends.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallFontSubstitutions();
  Form1& main = form1();
  CentreFrameOnScreen(&main);
  main.show();
  return main;
}

void EndProgram() {
  g_ended = true;
  for (QWidget* w : {static_cast<QWidget*>(g_form3.data()), static_cast<QWidget*>(g_form4.data()),
                     static_cast<QWidget*>(g_form5.data()), static_cast<QWidget*>(g_form6.data()),
                     static_cast<QWidget*>(g_form1.data())})
    if (w) w->hide();
  QCoreApplication::quit();
}

bool ProgramEnded() { return g_ended; }

void DestroyAll() {
  delete g_form3.data();
  delete g_form4.data();
  delete g_form5.data();
  delete g_form6.data();
  delete g_form1.data();
  for (int& c : g_created) c = 0;
  g_ended = false;
}

}  // namespace yex::Windows
