#include "compound_editor/form4.h"

#include <QCloseEvent>

#include "app/scattering_data/module1.h"
#include "compound_editor/compound_synthesis.h"
#include "core/numbers/numeric.h"
#include "editor_shared/editor_common.h"
#include "toolkit/dialogs.h"
#include "toolkit/fonts.h"

namespace yex {
using namespace Module1;
namespace {

const QColor kCyan(192, 255, 255);
int g_loads = 0;

}  // namespace

int Form4::loadCount() { return g_loads; }

Form4::Form4() {
  setWindowTitle(QStringLiteral("Chemical compound"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(Twips(5835), Twips(4380));
  move(Twips(1050), Twips(1335));
  setFont(VbFont(kMsGothic, 9.75));

  const QFont mincho = VbFont(kMsMincho, 9.75);
  const QFont boxFont = VbFont(kMsPGothic, 9);
  Label3 = EditorHeading(this, QStringLiteral("化合物データの新規作成"), 480, 120, 3015, 255,
                         VbFont(kHgMaruGothic, 12));
  Label1 = EditorCaption(this, "Label1", QStringLiteral("新規ファイル名"), mincho, kCyan, Qt::AlignHCenter,
                         240, 600, 1815, 255);
  Text1 = EditorBox(this, "Text1", boxFont, 2040, 600, 1455, 270);
  Text1->setText(QStringLiteral("NewData"));
  Label2 = EditorCaption(this, "Label2", QStringLiteral("元素数（最大５）"), mincho, kCyan, Qt::AlignRight,
                         240, 960, 1815, 255);
  Text2 = EditorBox(this, "Text2", boxFont, 2040, 960, 1455, 270);
  Label4 = EditorCaption(this, "Label4", QStringLiteral("元素データ"), VbFont(kMsMincho, 9), kCyan,
                         Qt::AlignHCenter, 1200, 1560, 1335, 255);
  Label5 = EditorCaption(this, "Label5", QStringLiteral("原子数"), mincho, kCyan, Qt::AlignHCenter, 2520,
                         1560, 975, 255);
  for (int k = 1; k <= RowCount; ++k) {
    ConstituentRow& r = rows_[static_cast<std::size_t>(k - 1)];
    const int top = 1800 + 240 * (k - 1);
    const QByteArray caption = "Label" + QByteArray::number(7 + k);
    const QByteArray name = "Text" + QByteArray::number(2 + k);
    const QByteArray count = "Text" + QByteArray::number(7 + k);
    r.caption = EditorCaption(this, caption.constData(), QStringLiteral("元素 %1").arg(k), mincho, kCyan,
                              Qt::AlignHCenter, 240, top, 975, 255);
    r.name = EditorBox(this, name.constData(), boxFont, 1200, top, 1335, 270);
    r.count = EditorBox(this, count.constData(), boxFont, 2520, top, 975, 270);
    r.caption->hide();
    r.name->hide();
    r.count->hide();
    connect(r.caption, &ClickLabel::clicked, this, [this, k] { ElementPick(k); });
    connect(r.name, &ClickLineEdit::clicked, this, [this, k] { ElementPick(k); });
    connect(r.count, &ClickLineEdit::clicked, this, [this, k] { AtomCount(k); });
  }
  Label7 = EditorHeading(this, QStringLiteral("Element"), 4200, 120, 885, 315, VbFont(kTimes, 14.25));
  File1 = new FileListBox(this);
  File1->setObjectName(QStringLiteral("File1"));
  PlaceTwips(File1, 3840, 480, 1695, 3600);

  Command1 = new CommandButton(QStringLiteral("OK"), this);
  Command2 = new CommandButton(QStringLiteral("Cancel"), this);
  for (QPushButton* b : {Command1, Command2}) {
    b->setFont(VbFont(kTimes, 11.25));
  }
  PlaceTwips(Command1, 360, 3600, 1335, 495);
  PlaceTwips(Command2, 2040, 3600, 1335, 495);

  // Screen readers name each box by the captions it stands under or beside.
  Text1->setAccessibleName(Label1->text());
  Text2->setAccessibleName(Label2->text());
  for (const ConstituentRow& r : rows_) {
    r.name->setAccessibleName(r.caption->text() + QLatin1Char(' ') + Label4->text());
    r.count->setAccessibleName(r.caption->text() + QLatin1Char(' ') + Label5->text());
  }
  File1->setAccessibleName(Label7->text());
  InstallFocusMark(this);

  connect(Label1, &ClickLabel::clicked, this, &Form4::Label1_Click);
  connect(Text1, &ClickLineEdit::clicked, this, &Form4::Text1_Click);
  connect(Label2, &ClickLabel::clicked, this, &Form4::Label2_Click);
  connect(Text2, &ClickLineEdit::clicked, this, &Form4::Text2_Click);
  connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
  Form_Load();
}

void Form4::Form_Load() {
  ++g_loads;
  Text1->clear();
  File1->hide();
}

void Form4::Label1_Click() {
  AskBaseName(Text1, QStringLiteral("ファイル名を入力して下さい"), QStringLiteral(".mix"));
}

void Form4::Text1_Click() { AskBaseName(Text1, QStringLiteral("ファイル名を入力して下さい"), QString()); }

void Form4::Text2_Click() {
  const QString answer = AskInto(Text2, QStringLiteral("化合物を構成する元素の種類数"));
  if (!(NumericValue(answer.toStdString()) > 0)) {
    dialogs().warning(kBadValue);
    return;
  }
  ElementKindCount = NumericValue(Text2->text().toStdString());
  ShowRows(true);
  File1->show();
}

void Form4::Label2_Click() {
  AskInto(Text2, QStringLiteral("化合物を構成する元素の種類数"));
  ElementKindCount = NumericValue(Text2->text().toStdString());
  ShowRows(false);
}

// Rows 1..4 from a count of at least k, row 5 only at exactly 5. Rows are
// never hidden here: a larger earlier count keeps its rows on screen.
void Form4::ShowRows(bool withCaptions) {
  for (int k = 1; k <= RowCount; ++k) {
    if (!RowShownByCount(k, RowCount)) continue;
    const ConstituentRow& r = row(k);
    if (withCaptions) r.caption->show();
    r.name->show();
    r.count->show();
  }
}

void Form4::HideRows() {
  for (const ConstituentRow& r : rows_) {
    r.caption->hide();
    r.name->hide();
    r.count->hide();
  }
}

void Form4::ElementPick(int k) {
  const QString file = File1->selectedFileName();
  if (file.isEmpty()) {
    dialogs().warning(QStringLiteral("元素を選択して下さい"));
    return;
  }
  row(k).name->setText(file);
  ElementFile(k) = row(k).name->text().toStdString();
  AtomCount(k);
}

void Form4::AtomCount(int k) {
  const QString answer = AskInto(row(k).count, QStringLiteral("原子数を入力して下さい"));
  if (NumericValue(answer.toStdString()) > 0) {
    ElementAmount(k) = NumericValue(row(k).count->text().toStdString());
  } else {
    dialogs().warning(kBadValue);
  }
}

void Form4::Command1_Click() {
  bool replace = false;
  if (!ConfirmNewTableName(
          Text1->text(), [this] { Text1_Click(); }, &replace))
    return;
  const SaveResult r = SaveCompound(Text1->text(), replace);
  if (!ReportSave(r, QStringLiteral("ファイル名が入力されていません"))) return;
  HideRows();
  ReturnToMainWindow(this, true);
}

void Form4::Command2_Click() {
  HideRows();
  ReturnToMainWindow(this, false);
}

void Form4::closeEvent(QCloseEvent* e) { e->ignore(); }

}  // namespace yex
