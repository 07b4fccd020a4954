// Every modal prompt and message box of the program goes through here, so
// tests can script the answers and read back what was shown.
#pragma once

#include <QString>

namespace yex {

// The application title that prompts and warnings carry.
QString AppTitle();

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Single-line input preset with `defaultText`; the empty string on Cancel.
  virtual QString prompt(const QString& message, const QString& defaultText) = 0;
  // Exclamation icon, OK only, the application title.
  virtual void warning(const QString& message) = 0;
  // No icon, OK only, an explicit title.
  virtual void notice(const QString& message, const QString& title) = 0;
  // Question icon, Yes and No (No the default), the application title;
  // true for Yes.
  virtual bool question(const QString& message) = 0;
};

// The dialogs in use; QtDialogs unless a test installed its own.
Dialogs& dialogs();
// Installs `d` (not owned); nullptr restores the real dialogs.
void SetDialogs(Dialogs* d);

// Real modal boxes.
class QtDialogs : public Dialogs {
 public:
  QString prompt(const QString& message, const QString& defaultText) override;
  void warning(const QString& message) override;
  void notice(const QString& message, const QString& title) override;
  bool question(const QString& message) override;
};

}  // namespace yex
