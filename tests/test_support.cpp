#include "tests/test_support.h"

#include <QFile>
#include <QTest>
#include <cmath>
#include <cstdlib>

#include "app/scattering_data/data_folder.h"
#include "app/windows.h"
#include "aux_windows/form3.h"
#include "aux_windows/form5.h"
#include "compound_editor/form4.h"
#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "main_window/form1.h"
#include "mixture_editor/form6.h"
#include "toolkit/fonts.h"

namespace yex::test {

ScriptedDialogs::ScriptedDialogs() { SetDialogs(this); }
ScriptedDialogs::~ScriptedDialogs() { SetDialogs(nullptr); }

QString ScriptedDialogs::prompt(const QString& message, const QString& defaultText) {
  calls_.append({DialogCall::Prompt, message, AppTitle(), defaultText});
  if (answers_.isEmpty()) {
    ++unanswered_;
    return QString();
  }
  return answers_.takeFirst();
}

void ScriptedDialogs::warning(const QString& message) {
  calls_.append({DialogCall::Warning, message, AppTitle(), QString()});
}

void ScriptedDialogs::notice(const QString& message, const QString& title) {
  calls_.append({DialogCall::Notice, message, title, QString()});
}

bool ScriptedDialogs::question(const QString& message) {
  calls_.append({DialogCall::Question, message, AppTitle(), QString()});
  if (answers_.isEmpty()) {
    ++unanswered_;
    return false;
  }
  return answers_.takeFirst() == QStringLiteral("Yes");
}

QStringList ScriptedDialogs::messages() const {
  QStringList out;
  for (const DialogCall& c : calls_) out << c.message;
  return out;
}

TempWorkDir::TempWorkDir() : previous_(QDir::currentPath()) {
  QDir(dir_.path()).mkdir(QStringLiteral("YEX-data"));
  QDir::setCurrent(dir_.path());
}

TempWorkDir::~TempWorkDir() { QDir::setCurrent(previous_); }

void TempWorkDir::writeRaw(const QString& name, const QByteArray& bytes) const {
  QFile f(data(name));
  if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write test table");
  f.write(bytes);
}

void TempWorkDir::writeElement(const QString& name, double z, double xScale) const {
  writeRaw(name, TableBytes([z, xScale](int r) {
             Row v = ElementRow(r, z);
             v.x *= xScale;
             return v;
           }));
}

QByteArray TempWorkDir::readRaw(const QString& name) const {
  QFile f(data(name));
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

QByteArray TableBytes(const std::function<Row(int)>& row, int lines) {
  return QByteArray::fromStdString(TableText(row, lines));
}

QList<Row> ReadBack(const QByteArray& bytes) {
  QList<Row> rows;
  for (const Row& r : ReadBackText(bytes.toStdString())) rows.append(r);
  return rows;
}

void EnterCompound(ScriptedDialogs& d, const QString& name, const QList<CompoundRow>& rows) {
  Form4& e = Windows::form4();
  e.File1->setPath(DataFolder());
  d.answer({name, QString::number(rows.size())});
  e.Text1_Click();
  e.Text2_Click();
  for (int k = 1; k <= rows.size(); ++k) {
    if (!e.File1->selectFileName(rows[k - 1].file)) qFatal("table not listed");
    d.answer({rows[k - 1].atoms});
    e.ElementPick(k);
  }
}

void EnterMixture(ScriptedDialogs& d, const QString& name, const QList<MixtureRowEntry>& rows) {
  Form6& e = Windows::form6();
  e.File1->setPath(DataFolder());
  d.answer({name, QString::number(rows.size())});
  e.Text1_Click();
  e.Text2_Click();
  for (int k = 1; k <= rows.size(); ++k) {
    if (!e.File1->selectFileName(rows[k - 1].file)) qFatal("table not listed");
    d.answer({rows[k - 1].atomicWeight, rows[k - 1].weight});
    e.ConstituentPick(k);
  }
}

void FreshProgram() {
  Windows::DestroyAll();
  Module1::ResetAll();
  InstallFontSubstitutions();
}

QString Visible() {
  QStringList out;
  using W = Windows::Which;
  if (Windows::exists(W::Form1) && Windows::form1().isVisible()) out << "Form1";
  if (Windows::exists(W::Form3) && Windows::form3().isVisible()) out << "Form3";
  if (Windows::exists(W::Form4) && Windows::form4().isVisible()) out << "Form4";
  if (Windows::exists(W::Form5) && Windows::form5().isVisible()) out << "Form5";
  if (Windows::exists(W::Form6) && Windows::form6().isVisible()) out << "Form6";
  return out.join(' ');
}

bool ReadTableFile(const QString& path, ScatteringTable& t) {
  ErrorKind kind;
  TableProblem problem;
  return yex::ReadTableFile(QFile::encodeName(path).toStdString(), Reading::Lenient, &t, &kind, &problem);
}

QStringList ListTableFiles(const QString& folder) {
  QStringList names;
  for (const std::string& n : yex::ListTableFiles(QFile::encodeName(folder).toStdString()))
    names << QFile::decodeName(QByteArray::fromStdString(n));
  return names;
}

}  // namespace yex::test
