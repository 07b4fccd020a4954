// The keyboard as a user meets it, through key events sent to the real
// widgets, and the gaps found by trying the windows from outside.
#include <QAccessible>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "aux_windows/form3.h"
#include "aux_windows/form5.h"
#include "compound_editor/form4.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "tests/test_support.h"
#include "toolkit/dialogs.h"
#include "toolkit/widgets.h"

using namespace yex;
using namespace yex::test;

namespace {

// Gives `b` the keyboard focus in its window and sends one key.
void KeyOnButton(QPushButton* b, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  b->window()->activateWindow();
  b->setFocus(Qt::TabFocusReason);
  QTest::keyClick(b, key, mods);
}

// The main window shown and active, with C.yex loaded by GO.
Form1& CarbonLoaded(const TempWorkDir& dir) {
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  f.show();
  f.activateWindow();
  f.File1_Click("C.yex");
  f.Command2_Click();
  return f;
}

bool BoxesEmpty(const Form1& f) {
  return f.Text1->text().isEmpty() && f.Text2->text().isEmpty() && f.Text3->text().isEmpty();
}

}  // namespace

class TestKeyboard : public QObject {
  Q_OBJECT
 private slots:
  void init() { FreshProgram(); }
  void cleanupTestCase() { Windows::DestroyAll(); }
  void enterPressesTheFocusedButton();
  void escapeDoesNothing();
  void listFollowsTheUsersChoiceOnly();
  void chooserFocusFirstAndLater();
  void navigationGivesTheKeyboard();
  void hiddenFilesAndShape();
  void realDialogs();
  void firstArrowChoosesTheFirstFile();
  void everyFocusIsSeenAndNamed();
  void picture1TakesItsTurn();
  void centredByTheFrame();
};

void TestKeyboard::enterPressesTheFocusedButton() {
  TempWorkDir dir;
  struct Case {
    const char* what;
    std::function<QPushButton*()> arrange;
    QString visibleAfter;
  };
  const QList<Case> cases = {
      {"main: New Data",
       [] {
         Windows::form1().show();
         return Windows::form1().Command4;
       },
       "Form5"},
      {"main: data source",
       [] {
         Windows::form1().show();
         return Windows::form1().Command3;
       },
       "Form1 Form3"},
      {"data source: Close",
       [] {
         Windows::form1().show();
         Windows::form1().Command3_Click();
         return Windows::form3().Command1;
       },
       "Form1"},
      {"chooser: Chemical Compound",
       [] {
         Windows::form5().ShowCentred();
         return Windows::form5().Command1;
       },
       "Form4"},
      {"chooser: Mixture",
       [] {
         Windows::form5().ShowCentred();
         return Windows::form5().Command2;
       },
       "Form6"},
      {"chooser: Cancel",
       [] {
         Windows::form5().ShowCentred();
         return Windows::form5().Command3;
       },
       "Form1"},
      {"compound: Cancel",
       [] {
         Windows::form5().ShowCentred();
         Windows::form5().Command1_Click();
         return Windows::form4().Command2;
       },
       "Form1"},
      {"mixture: Cancel",
       [] {
         Windows::form5().ShowCentred();
         Windows::form5().Command2_Click();
         return Windows::form6().Command2;
       },
       "Form1"},
  };
  for (Qt::KeyboardModifiers mods :
       {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::KeypadModifier)})
    for (const Case& c : cases) {
      FreshProgram();
      QPushButton* b = c.arrange();
      QVERIFY(!b->isDefault() && !b->autoDefault());
      KeyOnButton(b, mods == Qt::KeypadModifier ? Qt::Key_Enter : Qt::Key_Return, mods);
      QVERIFY2(Visible() == c.visibleAfter, qPrintable(QString(c.what) + ": " + Visible()));
    }
  // Enter in the x box stays the lookup, not a button.
  FreshProgram();
  dir.writeElement("C.yex", 6);
  Form1& f = Windows::form1();
  f.show();
  f.File1_Click("C.yex");
  f.Command2_Click();
  f.Text1->setFocus();
  f.Text1->setText("0.3");
  QTest::keyClick(f.Text1, Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(f.Text1->text(), QString("3.00E-01"));
  QCOMPARE(Visible(), QString("Form1"));
}

void TestKeyboard::escapeDoesNothing() {
  TempWorkDir dir;
  Form5& c = Windows::form5();
  c.ShowCentred();
  for (QPushButton* b : {c.Command1, c.Command2, c.Command3}) {
    KeyOnButton(b, Qt::Key_Escape);
    QCOMPARE(Visible(), QString("Form5"));
  }
  Windows::form5().Command3_Click();
  Windows::form1().Command3_Click();
  KeyOnButton(Windows::form3().Command1, Qt::Key_Escape);
  QCOMPARE(Visible(), QString("Form1 Form3"));
}

void TestKeyboard::listFollowsTheUsersChoiceOnly() {
  TempWorkDir dir;
  Form1& f = CarbonLoaded(dir);
  // Tabbing into the list selects nothing and shows nothing.
  f.List1->setFocus(Qt::TabFocusReason);
  QVERIFY(f.List1->hasFocus());
  QVERIFY(BoxesEmpty(f));
  QVERIFY(f.List1->selectedItems().isEmpty());
  // The first arrow key chooses row 1, the next row 2.
  QTest::keyClick(f.List1, Qt::Key_Down);
  QCOMPARE(f.Text1->text(), QString("0.00E+00"));
  QTest::keyClick(f.List1, Qt::Key_Down);
  QCOMPARE(f.Text1->text(), QString("5.00E-03"));
  // GO again leaves no row selected; focus coming back shows nothing.
  f.Command2_Click();
  QVERIFY(f.List1->selectedItems().isEmpty());
  f.Text1->setFocus();
  f.List1->setFocus(Qt::BacktabFocusReason);
  QVERIFY(BoxesEmpty(f));
  QVERIFY(f.List1->selectedItems().isEmpty());
}

void TestKeyboard::chooserFocusFirstAndLater() {
  TempWorkDir dir;
  Form1& f = Windows::form1();
  f.show();
  f.Command4_Click();
  Form5& c = Windows::form5();
  QCOMPARE(c.focusWidget(), c.Command1);
  QTest::keyClick(c.Command1, Qt::Key_Tab);
  QCOMPARE(c.focusWidget(), c.Command2);
  c.Command3->click();  // Cancel without moving the focus
  f.Command4_Click();
  QCOMPARE(c.focusWidget(), c.Command2);
}

void TestKeyboard::navigationGivesTheKeyboard() {
  TempWorkDir dir;
  Form1& f = Windows::form1();
  const QList<QPair<const char*, std::function<void()>>> steps = {
      {"chooser Cancel", [] { Windows::form5().Command3_Click(); }},
      {"compound Cancel",
       [] {
         Windows::form5().Command1_Click();
         Windows::form4().Command2_Click();
       }},
      {"mixture Cancel",
       [] {
         Windows::form5().Command2_Click();
         Windows::form6().Command2_Click();
       }},
      {"data source Close",
       [] {
         Windows::form5().Command3_Click();
         Windows::form1().Command3_Click();
         QTRY_COMPARE(QApplication::activeWindow(), &Windows::form3());
         Windows::form3().Command1_Click();
       }},
  };
  // Another window stands by, so the main window's getting the keyboard is
  // not the platform's fallback.
  QWidget other;
  other.show();
  for (const auto& [what, step] : steps) {
    f.show();
    f.Command4_Click();
    QTRY_COMPARE(QApplication::activeWindow(), &Windows::form5());
    step();
    QTRY_VERIFY2(QApplication::activeWindow() == &f, what);
  }
}

void TestKeyboard::hiddenFilesAndShape() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  dir.writeElement(".C.yex", 6);
  dir.writeElement(".hidden.yex", 6);
  QCOMPARE(ListTableFiles(QStringLiteral("YEX-data")), QStringList{"C.yex"});
  Form1& f = Windows::form1();
  QCOMPARE(f.File1->count(), 1);
  Windows::form5().Command1_Click();
  QCOMPARE(Windows::form4().File1->count(), 1);
  // The data-source window's outline keeps its own size.
  const QWidget* shape = Windows::form3().findChild<QWidget*>(QStringLiteral("Shape1"));
  QVERIFY(shape);
  QCOMPARE(shape->geometry(), QRect((30 + 7) / 15, (30 + 7) / 15, (5535 + 7) / 15, (2895 + 7) / 15));
}

void TestKeyboard::realDialogs() {
  QWidget parent;
  parent.show();
  parent.activateWindow();
  SetDialogs(nullptr);
  struct Seen {
    QString title, text, defaultText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
  } seen;
  // Inspects the modal dialog once it is up, then answers it.
  auto inspect = [&seen](const QString& answer) {
    QTimer::singleShot(0, [&seen, answer] {
      QWidget* modal = QApplication::activeModalWidget();
      QVERIFY(modal);
      seen.title = modal->windowTitle();
      seen.buttons.clear();
      for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
        if (b->isVisible()) seen.buttons << b->text().remove('&');
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        box->button(QMessageBox::Ok)->click();
      } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
        seen.text = input->labelText();
        seen.defaultText = input->textValue();
        input->setTextValue(answer);
        input->accept();
      }
    });
  };
  inspect("typed");
  QCOMPARE(dialogs().prompt("新規ファイル名を入力して下さい（拡張子なしで）", "old"), QString("typed"));
  QCOMPARE(seen.title, QString("YEX"));
  QCOMPARE(seen.text, QString("新規ファイル名を入力して下さい（拡張子なしで）"));
  QCOMPARE(seen.defaultText, QString("old"));
  inspect({});
  dialogs().warning("This value is out of range.");
  QCOMPARE(seen.title, QString("YEX"));
  QCOMPARE(seen.text, QString("This value is out of range."));
  QCOMPARE(seen.icon, QMessageBox::Warning);
  QCOMPARE(seen.buttons, QStringList{"OK"});
  inspect({});
  dialogs().notice("データはファイルに保存されました。", "New Data : YEX-data/W.yex");
  QCOMPARE(seen.title, QString("New Data : YEX-data/W.yex"));
  QCOMPARE(seen.icon, QMessageBox::NoIcon);
  QCOMPARE(seen.buttons, QStringList{"OK"});
}

namespace {

// Each of the five windows as a user reaches it, the editors with their
// file lists and first rows showing; returns the window, active.
QList<std::function<QWidget*()>> WindowsInTurn() {
  const auto editorRows = [](QWidget* editor, QList<QWidget*> shown) {
    for (QWidget* w : shown) w->show();
    return editor;
  };
  return {
      [] { return static_cast<QWidget*>(&Windows::form1()); },
      [] {
        Windows::form1().Command3_Click();
        return static_cast<QWidget*>(&Windows::form3());
      },
      [] {
        Windows::form1().Command4_Click();
        return static_cast<QWidget*>(&Windows::form5());
      },
      [=] {
        Windows::form5().Command1_Click();
        Form4& e = Windows::form4();
        return editorRows(&e, {e.File1, e.row(1).name, e.row(1).count});
      },
      [=] {
        Windows::form4().Command2_Click();
        Windows::form1().Command4_Click();
        Windows::form5().Command2_Click();
        Form6& e = Windows::form6();
        return editorRows(&e, {e.File1, e.row(1).name, e.row(1).atomicWeight, e.row(1).weight});
      },
  };
}

QList<QWidget*> Focusable(QWidget* window) {
  QList<QWidget*> out;
  for (QWidget* w : window->findChildren<QWidget*>())
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) out << w;
  return out;
}

}  // namespace

void TestKeyboard::firstArrowChoosesTheFirstFile() {
  TempWorkDir dir;
  for (const char* name : {"Ac.yex", "Ag.yex", "C.yex"}) dir.writeElement(name, 6);
  Windows::form1().show();
  const QList<std::function<QWidget*()>> windows = WindowsInTurn();
  for (int k : {0, 3, 4}) {
    QWidget* window = windows[k]();
    ShowInFront(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    FileListBox* list = window->findChild<FileListBox*>();
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->selectedFileName(), QString("Ac.yex"));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->selectedFileName(), QString("Ag.yex"));
  }
  QCOMPARE(QString::fromStdString(Module1::SelectedFile), QString("Ag.yex"));
}

// Every control that takes the focus, in every window, shows the mark
// around it (black, white, black, just outside its edges), and every one of
// them and every caption has a name for screen readers.
void TestKeyboard::everyFocusIsSeenAndNamed() {
  TempWorkDir dir;
  dir.writeElement("C.yex", 6);
  int checked = 0;
  Windows::form1().show();
  for (const auto& arrange : WindowsInTurn()) {
    QWidget* window = arrange();
    ShowInFront(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    for (QWidget* w : Focusable(window)) {
      w->setFocus(Qt::TabFocusReason);
      QVERIFY(w->hasFocus());
      const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
      const QImage shot = window->grab().toImage();
      const QPoint edge(r.left(), r.center().y());
      if (edge.x() >= 3) {
        QCOMPARE(shot.pixelColor(edge - QPoint(3, 0)), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(edge - QPoint(2, 0)), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(edge - QPoint(1, 0)), QColor(Qt::black));
      }
      const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
      QVERIFY2(!name.trimmed().isEmpty(),
               qPrintable(window->objectName() + ": " + w->metaObject()->className()));
      ++checked;
    }
    for (QLabel* l : window->findChildren<QLabel*>())
      if (l->isVisible() && !l->text().isEmpty())
        QVERIFY(!QAccessible::queryAccessibleInterface(l)->text(QAccessible::Name).isEmpty());
  }
  QVERIFY(checked >= 20);
  const QList<QPair<QWidget*, QString>> names = {
      {Windows::form1().Command2, "GO"},
      {Windows::form1().Command1, "bye"},
      {Windows::form1().Command4, "New Data"},
      {Windows::form1().Text1, "Momentum transfer"},
      {Windows::form1().Text3, "Incoherent scattering function"},
      {Windows::form1().File1, "Elements & Materials"},
      {Windows::form3().Command1, "Close"},
      {Windows::form5().Command1, "Chemical Compound"},
      {Windows::form4().Text1, "新規ファイル名"},
      {Windows::form6().row(1).weight, "元素 1 重量(%)"},
  };
  for (const auto& [w, name] : names)
    QCOMPARE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name), name);
}

void TestKeyboard::picture1TakesItsTurn() {
  TempWorkDir dir;
  Form1& f = CarbonLoaded(dir);
  QCOMPARE(QAccessible::queryAccessibleInterface(f.Picture1)->text(QAccessible::Name),
           QString("Chart of F(x) and S(x) of C.yex"));
  f.Text1->setText("0.1");
  f.Text3->setFocus(Qt::TabFocusReason);
  const QImage before = f.Picture1->image();
  QTest::keyClick(f.Text3, Qt::Key_Tab);
  QCOMPARE(f.focusWidget(), f.Picture1);
  for (Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Space, Qt::Key_Delete, Qt::Key_Escape})
    QTest::keyClick(f.Picture1, key);
  QCOMPARE(f.focusWidget(), f.Picture1);
  QCOMPARE(f.Picture1->image(), before);
  QCOMPARE(f.Text1->text(), QString("0.1"));
  QTest::keyClick(f.Picture1, Qt::Key_Backtab);
  QCOMPARE(f.focusWidget(), f.Text3);
}

// With a window manager the frame, title bar included, stands in the middle
// of the screen (nothing to see without one: the frame is the window).
void TestKeyboard::centredByTheFrame() {
  TempWorkDir dir;
  Form1& f = Windows::StartProgram();
  if (!QTest::qWaitFor([&] { return f.frameGeometry().size() != f.size(); }, 3000))
    QSKIP("no window manager puts a frame around the windows");
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (QWidget* w : {static_cast<QWidget*>(&f), static_cast<QWidget*>(&Windows::form5())}) {
    if (w != &f) f.Command4_Click();
    const auto off = [&] { return w->frameGeometry().center() - screen.center(); };
    (void)QTest::qWaitFor(
        [&] { return w->frameGeometry().size() != w->size() && off().manhattanLength() <= 2; }, 3000);
    QVERIFY2(
        off().manhattanLength() <= 2,
        qPrintable(QStringLiteral("%1 off by %2, %3").arg(w->windowTitle()).arg(off().x()).arg(off().y())));
  }
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
