// Starts the program: the main window, nothing else.
#include <QApplication>
#include <QScreen>

#include "app/fonts.h"
#include "app/windows.h"
#include "main_window/form1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("YEX"));
  // The main window alone decides when the program ends.
  QApplication::setQuitOnLastWindowClosed(false);
  yex::InstallFontSubstitutions();
  yex::Form1& main = yex::Windows::form1();
  if (QScreen* s = QGuiApplication::primaryScreen())
    main.move(s->availableGeometry().center() - QPoint(main.width() / 2, main.height() / 2));
  main.show();
  return QApplication::exec();
}
