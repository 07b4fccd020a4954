#include "mixture_editor/form6.h"

#include <QCloseEvent>

#include "app/scattering_data/module1.h"
#include "core/numbers/numeric.h"
#include "editor_shared/editor_common.h"
#include "mixture_editor/mixture_synthesis.h"
#include "toolkit/dialogs.h"
#include "toolkit/fonts.h"

namespace yex {
using namespace Module1;
namespace {

const QColor kYellow(255, 255, 192);
const QString kNoName = QStringLiteral("ファイル名を入力してください");
int g_loads = 0;

// Control numbers of row k, with the gaps the window has (no Text13, Text14
// or Label14).
int CaptionNumber(int k) { return k <= 6 ? 7 + k : 8 + k; }
int NameBoxNumber(int k) { return k <= 5 ? 2 + k : 9 + k; }
int AtomicWeightBoxNumber(int k) { return 24 + k; }
int WeightBoxNumber(int k) { return k <= 5 ? 7 + k : 14 + k; }

}  // namespace

int Form6::loadCount() { return g_loads; }

Form6::Form6() {
  setWindowTitle(QStringLiteral("Mixture"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(Twips(6570), Twips(5565));
  move(Twips(1050), Twips(1335));

  const QFont mincho = VbFont(kMsMincho, 9.75);
  const QFont boxFont = font();
  Label3 = EditorHeading(this, QStringLiteral("混合物データの新規作成"), 480, 120, 3015, 255,
                         VbFont(kHgMaruGothic, 12));
  Label1 = EditorCaption(this, "Label1", QStringLiteral("新規ファイル名"), mincho, kYellow, Qt::AlignHCenter,
                         240, 600, 1935, 255);
  Text1 = EditorBox(this, "Text1", boxFont, 2160, 600, 1455, 270);
  Text1->setText(QStringLiteral("NewData"));
  Label2 = EditorCaption(this, "Label2", QStringLiteral("元素数（最大10）"), mincho, kYellow, Qt::AlignRight,
                         240, 960, 1935, 255);
  Text2 = EditorBox(this, "Text2", boxFont, 2160, 960, 1455, 270);
  Label4 = EditorCaption(this, "Label4", QStringLiteral("元素データ"), VbFont(kMsMincho, 9), kYellow,
                         Qt::AlignHCenter, 1320, 1440, 1215, 255);
  Label6 = EditorCaption(this, "Label6", QStringLiteral("原子量"), mincho, kYellow, Qt::AlignHCenter, 2520,
                         1440, 975, 255);
  Label5 = EditorCaption(this, "Label5", QStringLiteral("重量(%)"), mincho, kYellow, Qt::AlignHCenter, 3480,
                         1440, 975, 255);

  for (int k = 1; k <= RowCount; ++k) {
    MixtureRow& r = rows_[static_cast<std::size_t>(k - 1)];
    const int top = 1680 + 240 * (k - 1);
    const QString text = k < 10 ? QStringLiteral("元素 %1").arg(k) : QStringLiteral("元素10");
    const QFont captionFont = k <= 4 ? mincho : VbFont(kMsGothic, 9.75);
    r.caption = EditorCaption(this, ("Label" + QByteArray::number(CaptionNumber(k))).constData(), text,
                              captionFont, kYellow, Qt::AlignHCenter, 240, top, 1095, 255);
    r.name = EditorBox(this, ("Text" + QByteArray::number(NameBoxNumber(k))).constData(), boxFont, 1320, top,
                       1215, 270);
    r.atomicWeight = EditorBox(this, ("Text" + QByteArray::number(AtomicWeightBoxNumber(k))).constData(),
                               boxFont, 2520, top, 975, 270);
    r.weight = EditorBox(this, ("Text" + QByteArray::number(WeightBoxNumber(k))).constData(), boxFont, 3480,
                         top, 975, 270);
    for (QWidget* w : {static_cast<QWidget*>(r.caption), static_cast<QWidget*>(r.name),
                       static_cast<QWidget*>(r.atomicWeight), static_cast<QWidget*>(r.weight)})
      w->hide();
    connect(r.caption, &ClickLabel::clicked, this, [this, k] { ConstituentPick(k); });
    connect(r.name, &ClickLineEdit::clicked, this, [this, k] { ConstituentPick(k); });
    connect(r.atomicWeight, &ClickLineEdit::clicked, this, [this, k] { AtomicWeightEntry(k); });
    connect(r.weight, &ClickLineEdit::clicked, this, [this, k] { WeightEntry(k); });
  }

  Label7 = EditorHeading(this, QStringLiteral("Element"), 5040, 120, 885, 315, VbFont(kTimes, 14.25));
  File1 = new FileListBox(this);
  File1->setObjectName(QStringLiteral("File1"));
  File1->setFont(VbFont(kMsGothic, 9.75));
  {
    QPalette p = File1->palette();
    p.setColor(QPalette::Base, Qt::white);
    File1->setPalette(p);
  }
  PlaceTwips(File1, 4680, 480, 1695, 4575);

  Command1 = new CommandButton(QStringLiteral("OK"), this);
  Command2 = new CommandButton(QStringLiteral("Cancel"), this);
  for (QPushButton* b : {Command1, Command2}) {
    b->setFont(VbFont(kTimes, 11.25));
  }
  PlaceTwips(Command1, 720, 4920, 1215, 495);
  PlaceTwips(Command2, 2160, 4920, 1215, 495);

  // Screen readers name each box by the captions it stands under or beside.
  Text1->setAccessibleName(Label1->text());
  Text2->setAccessibleName(Label2->text());
  for (const MixtureRow& r : rows_) {
    r.name->setAccessibleName(r.caption->text() + QLatin1Char(' ') + Label4->text());
    r.atomicWeight->setAccessibleName(r.caption->text() + QLatin1Char(' ') + Label6->text());
    r.weight->setAccessibleName(r.caption->text() + QLatin1Char(' ') + Label5->text());
  }
  File1->setAccessibleName(Label7->text());
  InstallFocusMark(this);

  connect(Label1, &ClickLabel::clicked, this, &Form6::Label1_Click);
  connect(Text1, &ClickLineEdit::clicked, this, &Form6::Text1_Click);
  connect(Label2, &ClickLabel::clicked, this, &Form6::Label2_Click);
  connect(Text2, &ClickLineEdit::clicked, this, &Form6::Text2_Click);
  connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
  Form_Load();
}

void Form6::Form_Load() {
  ++g_loads;
  Text1->clear();
  File1->hide();
}

void Form6::Label1_Click() { AskBaseName(Text1, kNoName, QString()); }
void Form6::Text1_Click() { AskBaseName(Text1, kNoName, QString()); }

void Form6::Label2_Click() { CountEntry(QStringLiteral("混合物を構成する元素の種類数"), false); }
void Form6::Text2_Click() { CountEntry(QStringLiteral("化合物を構成する元素の種類数"), true); }

// No test here: any count is stored. Rows 1..9 show from a count of at least
// k, row 10 only at exactly 10; rows are never hidden by a smaller count.
void Form6::CountEntry(const QString& message, bool withAtomicWeights) {
  AskInto(Text2, message);
  ElementKindCount = NumericValue(Text2->text().toStdString());
  for (int k = 1; k <= RowCount; ++k) {
    if (!RowShownByCount(k, RowCount)) continue;
    const MixtureRow& r = row(k);
    r.caption->show();
    r.name->show();
    r.weight->show();
    if (withAtomicWeights) r.atomicWeight->show();
  }
  File1->show();
}

void Form6::HideRows() {
  for (const MixtureRow& r : rows_)
    for (QWidget* w : {static_cast<QWidget*>(r.caption), static_cast<QWidget*>(r.name),
                       static_cast<QWidget*>(r.atomicWeight), static_cast<QWidget*>(r.weight)})
      w->hide();
}

void Form6::ConstituentPick(int k) {
  const QString file = File1->selectedFileName();
  if (file.isEmpty()) {
    dialogs().warning(QStringLiteral("元素を選択してください"));
    return;
  }
  row(k).name->setText(file);
  ElementFile(k) = row(k).name->text().toStdString();
  // Both prompts follow each other even when the first is cancelled.
  AtomicWeightEntry(k);
  WeightEntry(k);
}

void Form6::AtomicWeightEntry(int k) {
  AskInto(row(k).atomicWeight, QStringLiteral("原子量(atomic weight)を入力して下さい"));
  AtomicWeight(k) = NumericValue(row(k).atomicWeight->text().toStdString());
}

void Form6::WeightEntry(int k) {
  AskInto(row(k).weight, QStringLiteral("相対重量(%)を入力して下さい"));
  ElementAmount(k) = NumericValue(row(k).weight->text().toStdString());
}

void Form6::Command1_Click() {
  bool replace = false;
  if (!ConfirmNewTableName(
          Text1->text(), [this] { Text1_Click(); }, &replace))
    return;
  const SaveResult r = SaveMixture(Text1->text(), replace);
  if (!ReportSave(r, kNoName)) return;
  HideRows();
  Label6->hide();
  ReturnToMainWindow(this, true);
}

void Form6::Command2_Click() {
  HideRows();
  ReturnToMainWindow(this, false);
}

void Form6::closeEvent(QCloseEvent* e) { e->ignore(); }

}  // namespace yex
