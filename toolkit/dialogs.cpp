#include "toolkit/dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace yex {
namespace {
Dialogs* g_override = nullptr;
}

QString AppTitle() { return QStringLiteral("YEX"); }

Dialogs& dialogs() {
  static QtDialogs real;
  return g_override ? *g_override : real;
}

void SetDialogs(Dialogs* d) { g_override = d; }

QString QtDialogs::prompt(const QString& message, const QString& defaultText) {
  bool ok = false;
  QString answer = QInputDialog::getText(QApplication::activeWindow(), AppTitle(), message, QLineEdit::Normal,
                                         defaultText, &ok);
  return ok ? answer : QString();
}

void QtDialogs::warning(const QString& message) {
  QMessageBox box(QMessageBox::Warning, AppTitle(), message, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

void QtDialogs::notice(const QString& message, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, message, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

bool QtDialogs::question(const QString& message) {
  QMessageBox box(QMessageBox::Question, AppTitle(), message, QMessageBox::Yes | QMessageBox::No,
                  QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace yex
