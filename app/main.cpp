// Starts the program: the main window, nothing else.
#include <QApplication>

#include "app/windows.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("YEX"));
  yex::Windows::StartProgram();
  return QApplication::exec();
}
