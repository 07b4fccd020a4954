// What the compound and the mixture editor share: their controls' making,
// the prompts that fill a box, and the report of a save.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>

#include "editor_shared/save_sequence.h"
#include "toolkit/widgets.h"

namespace yex {

// Prompt texts and messages both editors use.
inline const QString kAskBaseName = QStringLiteral("新規ファイル名を入力して下さい（拡張子なしで）");
inline const QString kBadValue = QStringLiteral("入力値が不正です。");
inline const QString kInputError = QStringLiteral("入力したデータに誤りがあります。  よく確認してください。");
inline const QString kSaved = QStringLiteral("データはファイルに保存されました。");
inline const QString kReplace = QStringLiteral("%1.yex は既に存在します。置き換えますか？");
inline const QString kShippedName =
    QStringLiteral("%1 は元素のデータファイルの名前です。別の名前を入力して下さい。");

// A clickable caption with its own font, background and alignment.
ClickLabel* EditorCaption(QWidget* parent, const char* name, const QString& text, const QFont& font,
                          const QColor& background, Qt::Alignment align, int left, int top, int width,
                          int height);
// A clickable entry box showing its text centred.
ClickLineEdit* EditorBox(QWidget* parent, const char* name, const QFont& font, int left, int top, int width,
                         int height);
// The blue heading of an editor ("…データの新規作成") and its "Element" list title.
QLabel* EditorHeading(QWidget* parent, const QString& text, int left, int top, int width, int height,
                      const QFont& font);

// Whether an entered count shows row k of an editor with `rows` rows: every
// row up to the count, the last row only at exactly its number.
bool RowShownByCount(int k, int rows);

// prompt(message, box text); the box shows the answer, which is returned.
QString AskInto(QLineEdit* box, const QString& message);

// The base-name prompt: an empty answer warns `emptyWarning` and keeps the
// box; otherwise the box gets the answer followed by `suffix`.
void AskBaseName(QLineEdit* box, const QString& emptyWarning, const QString& suffix);

// Before "OK" writes DataFolder/NAME.yex: a shipped element's name (in any
// case) is refused, and an existing table (names compared without case) is
// replaced only after Yes, which sets `replace`. On a refusal or No,
// `askName` (the editor's name prompt) runs again and false is returned.
bool ConfirmNewTableName(const QString& baseName, const std::function<void()>& askName, bool* replace);

// Shows what a save produced; returns true when the table was saved.
bool ReportSave(const SaveResult& r, const QString& emptyNameWarning);

// Back to the main window after an editor: its file list re-read or not.
void ReturnToMainWindow(QWidget* editor, bool refreshFileList);

}  // namespace yex
