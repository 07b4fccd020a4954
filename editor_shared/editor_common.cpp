#include "editor_shared/editor_common.h"

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "core/tables/table_name.h"
#include "main_window/form1.h"
#include "toolkit/dialogs.h"

namespace yex {

ClickLabel* EditorCaption(QWidget* parent, const char* name, const QString& text, const QFont& font,
                          const QColor& background, Qt::Alignment align, int left, int top, int width,
                          int height) {
  auto* l = new ClickLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setFont(font);
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, background);
  p.setColor(QPalette::WindowText, Qt::black);
  l->setPalette(p);
  l->setAlignment(align | Qt::AlignVCenter);
  PlaceTwips(l, left, top, width, height);
  return l;
}

ClickLineEdit* EditorBox(QWidget* parent, const char* name, const QFont& font, int left, int top, int width,
                         int height) {
  auto* t = new ClickLineEdit(parent);
  t->setObjectName(QString::fromLatin1(name));
  t->setFont(font);
  t->setAlignment(Qt::AlignCenter);
  PlaceTwips(t, left, top, width, height);
  return t;
}

QLabel* EditorHeading(QWidget* parent, const QString& text, int left, int top, int width, int height,
                      const QFont& font) {
  auto* l = new QLabel(text, parent);
  l->setFont(font);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, QColor(0, 0, 255));
  l->setPalette(p);
  l->setAlignment(Qt::AlignCenter);
  PlaceTwips(l, left, top, width, height);
  FitCentred(l);
  return l;
}

bool RowShownByCount(int k, int rows) {
  return k < rows ? Module1::ElementKindCount >= k : Module1::ElementKindCount == rows;
}

QString AskInto(QLineEdit* box, const QString& message) {
  const QString answer = dialogs().prompt(message, box->text());
  box->setText(answer);
  return answer;
}

void AskBaseName(QLineEdit* box, const QString& emptyWarning, const QString& suffix) {
  const QString answer = dialogs().prompt(kAskBaseName, box->text());
  if (answer.isEmpty()) {
    dialogs().warning(emptyWarning);
    return;
  }
  box->setText(answer + suffix);
}

bool ConfirmNewTableName(const QString& baseName, const std::function<void()>& askName, bool* replace) {
  *replace = false;
  if (baseName.isEmpty()) return true;  // the save reports it
  const std::string base = baseName.toStdString();
  if (IsShippedElementName(base)) {
    dialogs().warning(kShippedName.arg(baseName));
    askName();
    return false;
  }
  const FolderStore store = DataStore();
  try {
    store.CheckNewTable(base, false);
    return true;
  } catch (const Error& e) {
    if (e.kind() != ErrorKind::Exists) return true;  // the save reports it
  }
  // The table there may differ in case ("water" finds "Water.yex").
  const std::string there = store.CheckNewTable(base, true);
  if (dialogs().question(kReplace.arg(QString::fromStdString(TableDisplayName(there))))) {
    *replace = true;
    return true;
  }
  askName();
  return false;
}

bool ReportSave(const SaveResult& r, const QString& emptyNameWarning) {
  switch (r.outcome) {
    case SaveOutcome::EmptyName:
      dialogs().warning(emptyNameWarning);
      return false;
    case SaveOutcome::InputError:
      dialogs().notice(kInputError, QStringLiteral("Input Error"));
      return false;
    case SaveOutcome::Saved:
      dialogs().notice(kSaved, QStringLiteral("New Data : ") + r.writtenPath);
      return true;
  }
  return false;
}

void ReturnToMainWindow(QWidget* editor, bool refreshFileList) {
  editor->hide();
  Form1& main = Windows::form1();
  if (refreshFileList) main.File1->refresh();
  ShowInFront(&main);
}

}  // namespace yex
