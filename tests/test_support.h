// Shared by the tests: scripted dialogs, a temporary working folder with its
// own YEX-data, and small table builders.
#pragma once

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/scattering_data/module1.h"
#include "tests/core/support.h"
#include "toolkit/dialogs.h"

namespace yex::test {

struct DialogCall {
  enum Kind { Prompt, Warning, Notice, Question } kind;
  QString message;
  QString title;
  QString defaultText;  // prompts only
};

// Answers prompts from a queue (an exhausted queue answers as Cancel) and
// records every dialog shown, with its title; installs itself while alive.
class ScriptedDialogs : public Dialogs {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;
  QString prompt(const QString& message, const QString& defaultText) override;
  void warning(const QString& message) override;
  void notice(const QString& message, const QString& title) override;
  // Yes when the next scripted answer is "Yes"; No (and counted as
  // unanswered when the queue is empty) otherwise.
  bool question(const QString& message) override;

  void answer(const QStringList& a) { answers_ << a; }
  const QList<DialogCall>& calls() const { return calls_; }
  QStringList messages() const;
  void clear() { calls_.clear(); }
  int unansweredPrompts() const { return unanswered_; }

 private:
  QStringList answers_;
  QList<DialogCall> calls_;
  int unanswered_ = 0;
};

// A fresh current directory holding an empty YEX-data; the previous current
// directory comes back on destruction.
class TempWorkDir {
 public:
  TempWorkDir();
  ~TempWorkDir();
  QString path() const { return dir_.path(); }
  QString data(const QString& name) const { return dir_.filePath(QStringLiteral("YEX-data/") + name); }
  // Writes raw bytes as YEX-data/<name>.
  void writeRaw(const QString& name, const QByteArray& bytes) const;
  // Writes YEX-data/<name> holding ElementRow(r, z), its x column scaled.
  void writeElement(const QString& name, double z, double xScale = 1.0) const;
  QByteArray readRaw(const QString& name) const;

 private:
  QTemporaryDir dir_;
  QString previous_;
};

// TableText as bytes (Row, GridX, ElementRow and LogLog: tests/core/support.h).
QByteArray TableBytes(const std::function<Row(int)>& row, int lines = TableRowCount);

// ReadBackText of bytes.
QList<Row> ReadBack(const QByteArray& bytes);

// Fills an editor as a user does: the name through Text1, the count through
// Text2, then each row picked in the list and answered. Opens the editor on
// the data folder first; "OK" is left to the caller.
struct CompoundRow {
  QString file, atoms;
};
struct MixtureRowEntry {
  QString file, atomicWeight, weight;
};
void EnterCompound(ScriptedDialogs& d, const QString& name, const QList<CompoundRow>& rows);
void EnterMixture(ScriptedDialogs& d, const QString& name, const QList<MixtureRowEntry>& rows);

// The visible windows among the five, as "Form1 Form3".
QString Visible();

// A table file read as the main window reads it, and a folder's table files,
// through the core for tests that work with QString paths.
bool ReadTableFile(const QString& path, ScatteringTable& t);
QStringList ListTableFiles(const QString& folder);

// Resets the shared state and deletes every window; call in init().
void FreshProgram();

}  // namespace yex::test
