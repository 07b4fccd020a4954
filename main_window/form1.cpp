#include "main_window/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetricsF>

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "aux_windows/form3.h"
#include "aux_windows/form5.h"
#include "core/chart/chart.h"
#include "core/lookup/lookup.h"
#include "core/numbers/numeric.h"
#include "core/tables/table_format.h"
#include "toolkit/dialogs.h"
#include "toolkit/fonts.h"
#include "toolkit/icons.h"

namespace yex {
using namespace Module1;
namespace {

const QColor kBlue(0, 0, 192);
const QColor kYellow(255, 255, 192);
const QColor kCyan(192, 255, 255);
// A line longer than this is shown cut short in the list: the numbers come
// from its first 34 characters, and a list item of megabytes would stall.
constexpr int kListLineLimit = 4096;

QLabel* Heading(QWidget* parent, const QString& text, int left, int top, const QString& face = kTimes) {
  auto* l = new QLabel(text, parent);
  l->setTextFormat(Qt::PlainText);
  l->setFont(VbFont(face, 12));
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, kBlue);
  l->setPalette(p);
  l->setAlignment(Qt::AlignCenter);
  PlaceTwipsAuto(l, left, top);
  return l;
}

// Label7 ("θ     λ") lies over the gaps of Label2 ("x=sin(   /2) /"). The
// faces differ from the ones the layout was drawn with, so the blanks of
// Label7 are widened until θ sits in the gap and λ follows the last "/".
void AlignGreekOverlay(QLabel* formula, QLabel* greek) {
  const QFontMetricsF fm(formula->font());
  const QFontMetricsF gm(greek->font());
  const QString text = formula->text();
  const double x0 = formula->x() + (formula->width() - fm.horizontalAdvance(text)) / 2.0;
  const double gapStart = x0 + fm.horizontalAdvance(text.left(6));  // after "x=sin("
  const double gapEnd = x0 + fm.horizontalAdvance(text.left(9));    // before "/2"
  const double lambdaLeft = x0 + fm.horizontalAdvance(text) + 1.0;
  const double thetaLeft = (gapStart + gapEnd) / 2.0 - gm.horizontalAdvance(QStringLiteral("θ")) / 2.0;
  const double natural = gm.horizontalAdvance(QStringLiteral("θ     "));
  QFont f = greek->font();
  f.setWordSpacing((lambdaLeft - thetaLeft - natural) / 5.0);
  greek->setFont(f);
  greek->adjustSize();
  greek->move(qRound(thetaLeft), greek->y());
}

QLabel* BoxCaption(QWidget* parent, const QString& text, int left, int top) {
  auto* l = new QLabel(text, parent);
  l->setTextFormat(Qt::PlainText);
  l->setFont(VbFont(kTimes, 11.25));
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, kYellow);
  p.setColor(QPalette::WindowText, Qt::black);
  l->setPalette(p);
  l->setAlignment(Qt::AlignCenter);
  PlaceTwips(l, left, top, 3015, 285);
  return l;
}

ClickLineEdit* ValueBox(QWidget* parent, int left, int top) {
  auto* t = new ClickLineEdit(parent);
  t->setFont(VbFont(kMsPGothic, 11.25));
  t->setAlignment(Qt::AlignCenter);
  QPalette p = t->palette();
  p.setColor(QPalette::Base, kCyan);
  p.setColor(QPalette::Text, Qt::black);
  t->setPalette(p);
  PlaceTwips(t, left, top, 1695, 285);
  return t;
}

QPushButton* PictureButton(QWidget* parent, const QPixmap& pm, const QString& tip, const QColor* face) {
  auto* b = new CommandButton(QString(), parent);
  b->setIcon(QIcon(pm));
  b->setIconSize(pm.size());
  b->setToolTip(tip);
  if (face)
    b->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(%1,%2,%3); border: 2px outset "
                                    "rgb(96,176,96); } QPushButton:pressed { border-style: inset; }")
                         .arg(face->red())
                         .arg(face->green())
                         .arg(face->blue()));
  return b;
}

}  // namespace

Form1::Form1() {
  setWindowTitle(QStringLiteral("Form Factors & Incoherent Scattering Functions"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(Twips(16260), Twips(9000));
  setFont(VbFont(kMsGothic, 11.25));
  setWindowIcon(WindowIcon());

  Label1 = Heading(this, QStringLiteral("Elements & Materials"), 465, 240);
  Label1->setAlignment(Qt::AlignCenter);
  PlaceTwips(Label1, 465, 240, 1965, 285);
  FitCentred(Label1);
  SetTabIndex(Label1, 1);

  File1 = new FileListBox(this);
  File1->setFont(VbFont(kMsGothic, 12));
  PlaceTwips(File1, 360, 600, 2175, 6330);
  SetTabIndex(File1, 0);

  Label23 = Heading(this, QStringLiteral("Momentum"), 3030, 120);
  Label8 = Heading(this, QStringLiteral("transfer"), 3240, 360);
  Label2 = Heading(this, QStringLiteral("x=sin(   /2) /"), 3120, 720);
  Label7 = Heading(this, QStringLiteral("θ     λ"), 3645, 765, kMsPGothic);
  Label7->setAttribute(Qt::WA_TranslucentBackground);
  AlignGreekOverlay(Label2, Label7);
  SetTabIndex(Label23, 9);
  SetTabIndex(Label8, 11);
  SetTabIndex(Label2, 17);
  SetTabIndex(Label7, 5);
  Label9 = Heading(this, QStringLiteral("Form factor"), 4560, 240);
  Label17_2 = Heading(this, QStringLiteral("F(x)"), 4920, 720);
  SetTabIndex(Label9, 12);
  SetTabIndex(Label17_2, 10);
  Label13 = Heading(this, QStringLiteral("Incoherent"), 6000, 30);
  Label14 = Heading(this, QStringLiteral("Scattering"), 6000, 240);
  Label15 = Heading(this, QStringLiteral("Function"), 6120, 450);
  Label17_0 = Heading(this, QStringLiteral("S(x)"), 6360, 720);
  SetTabIndex(Label13, 13);
  SetTabIndex(Label14, 14);
  SetTabIndex(Label15, 15);
  SetTabIndex(Label17_0, 18);

  List1 = new RowListBox(this);
  List1->setFont(VbFont(kMsGothic, 12));
  {
    QPalette p = List1->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    List1->setPalette(p);
  }
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  PlaceTwips(List1, 3000, 1080, 4695, 6300);
  SetTabIndex(List1, 4);

  Label11 = BoxCaption(this, QStringLiteral("Momentum transfer"), 3000, 7680);
  Label3 = BoxCaption(this, QStringLiteral("Form factor"), 3000, 8040);
  Label10 = BoxCaption(this, QStringLiteral("Incoherent scattering function"), 3000, 8400);
  SetTabIndex(Label11, 6);
  SetTabIndex(Label3, 19);
  SetTabIndex(Label10, 20);
  Text1 = ValueBox(this, 6000, 7680);
  Text2 = ValueBox(this, 6000, 8040);
  Text3 = ValueBox(this, 6000, 8400);
  SetTabIndex(Text1, 21);
  SetTabIndex(Text2, 22);
  SetTabIndex(Text3, 23);

  const QColor green(0, 128, 0);
  Command2 = PictureButton(this, GoPicture(QSize(Twips(1335) - 10, Twips(615) - 10)), QStringLiteral(" GO "),
                           &green);
  PlaceTwips(Command2, 1440, 7200, 1335, 615);
  SetTabIndex(Command2, 2);
  Command3 = PictureButton(this, QuestionPicture(QSize(Twips(615) - 8, Twips(615) - 8)),
                           QStringLiteral("データの出典"), nullptr);
  PlaceTwips(Command3, 360, 7200, 615, 615);
  SetTabIndex(Command3, 8);
  Command1 = PictureButton(this, ExitPicture(QSize(Twips(615) - 6, Twips(555) - 6)), QStringLiteral(" bye "),
                           &green);
  PlaceTwips(Command1, 360, 8160, 615, 555);
  SetTabIndex(Command1, 7);
  Command4 = new CommandButton(QStringLiteral("New Data"), this);
  Command4->setToolTip(QStringLiteral("化合物データの作成"));
  Command4->setFont(VbFont(kTimes, 11.25));
  PlaceTwips(Command4, 1440, 8160, 1335, 555);
  SetTabIndex(Command4, 16);

  Picture1 = new PictureBox(this, kChartScale);
  Picture1->setBackColor(QColor(0, 0, 128));
  Picture1->setTextFont(VbFont(kTimes, 12));
  PlaceTwips(Picture1, 8040, 480, 7935, 7935);
  SetTabIndex(Picture1, 24);
  // It takes the focus in its place in the tab order and ignores keys.
  Picture1->setFocusPolicy(Qt::TabFocus);

  Label4 = new QLabel(this);
  Label4->setTextFormat(Qt::PlainText);
  Label4->setFont(VbFont(kTimes, 14.25));
  PlaceTwipsAuto(Label4, 11760, 120);
  SetTabIndex(Label4, 26);

  Picture2 = new QLabel(this);
  Picture2->setPixmap(DecorativePicture());
  PlaceTwips(Picture2, 15360, 0, 480, 480);
  SetTabIndex(Picture2, 25);

  ApplyTabOrder(this);
  InstallFocusMark(this);
  NameForScreenReaders();

  connect(File1, &FileListBox::fileClicked, this, &Form1::File1_Click);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
  connect(Text1, &QLineEdit::returnPressed, this, [this] { Text1_KeyPress(13); });
  connect(Text1, &ClickLineEdit::clicked, this, &Form1::Text1_Click);
  connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
  // A move with the arrow keys selects the row it reaches and counts as a
  // click; focus arriving in the list only makes a row current, which shows
  // nothing.
  connect(List1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item && item->isSelected()) List1_Click();
  });

  Form_Load();
}

// What a screen reader says for each control: buttons by tooltip or
// caption, boxes by the caption beside them, lists by their headings, the
// chart by the table it shows.
void Form1::NameForScreenReaders() {
  Command2->setAccessibleName(QStringLiteral("GO"));
  Command1->setAccessibleName(QStringLiteral("bye"));
  Command3->setAccessibleName(Command3->toolTip());
  Command4->setAccessibleDescription(Command4->toolTip());
  File1->setAccessibleName(Label1->text());
  List1->setAccessibleName(
      QStringLiteral("Momentum transfer x, Form factor F(x), Incoherent Scattering Function S(x)"));
  for (auto [box, caption] : {std::pair{Text1, Label11}, std::pair{Text2, Label3}, std::pair{Text3, Label10}})
    box->setAccessibleName(caption->text());
  Picture1->setAccessibleName(QStringLiteral("Chart of F(x) and S(x)"));
  Picture2->setAccessibleName(QStringLiteral("YEX"));
}

void Form1::Form_Load() {
  File1->setPath(DataFolder());
  Text1->clear();
  Text2->clear();
  Text3->clear();
}

void Form1::File1_Click(const QString& name) { SelectedFile = name.toStdString(); }

void Form1::Command1_Click() { Windows::EndProgram(); }

void Form1::closeEvent(QCloseEvent* e) {
  e->accept();
  Windows::EndProgram();
}

void Form1::Command2_Click() {
  if (SelectedFile.empty()) {
    dialogs().warning(QStringLiteral("Select element or material"));
    return;
  }
  const QString name = QString::fromStdString(SelectedFile);
  // Read into a buffer first: a file that cannot be loaded changes nothing.
  ScatteringTable table;
  try {
    table = DataStore().LoadLenient(SelectedFile);
  } catch (const Error& e) {
    dialogs().warning(QStringLiteral("%1.").arg(QString::fromStdString(e.what())));
    return;
  }
  Label4->setText(name);
  Label4->adjustSize();
  Picture1->setAccessibleName(QStringLiteral("Chart of F(x) and S(x) of %1").arg(name));
  Text1->clear();
  Text2->clear();
  Text3->clear();
  {
    const QSignalBlocker block(List1);
    List1->clear();
  }
  CommitTable(table);
  {
    const QSignalBlocker block(List1);
    for (int r = 1; r <= TableRowCount; ++r) {
      QString line = QString::fromLatin1(RowText(r).data(), static_cast<qsizetype>(RowText(r).size()));
      if (line.size() > kListLineLimit) line = line.left(kListLineLimit) + QChar(0x2026);
      List1->addItem(line);
    }
    List1->setCurrentRow(-1);
  }
  // Let the list and the emptied boxes show before the chart is drawn.
  QCoreApplication::processEvents();
  DrawChart();
}

void Form1::DrawChart() {
  Picture1->Draw([](ChartSurface& s) { yex::DrawChart(s, XData, FData, SData); });
}

void Form1::Command3_Click() {
  Form3& f = Windows::form3();
  f.show();
  f.raise();
  f.activateWindow();
}

void Form1::Command4_Click() {
  Windows::form5().ShowCentred();
  hide();
  Windows::form3().hide();
}

void Form1::Text1_KeyPress(int keyAscii) {
  if (keyAscii != 13) return;
  const double q = NumericValue(Text1->text().toStdString());
  const LookupResult r = LookupPoint(XData, FData, SData, q);
  if (!r.inRange) {
    dialogs().warning(QStringLiteral("This value is out of range."));
    Text1->clear();
    Text2->clear();
    Text3->clear();
    return;
  }
  Text1->setText(QString::fromStdString(FormatX(q)));
  Text2->setText(QString::fromStdString(FormatFS(r.f)));
  Text3->setText(QString::fromStdString(FormatFS(r.s)));
}

void Form1::Text1_Click() {
  Text1->clear();
  Text2->clear();
  Text3->clear();
}

void Form1::List1_Click() {
  const int index = List1->currentRow();
  if (index < 0) return;
  ShowRow(index + 1);
}

void Form1::ShowRow(int row) {
  if (row < 1 || row > TableRowCount) return;
  Text1->setText(QString::fromStdString(FormatX(XData(row))));
  Text2->setText(QString::fromStdString(FormatFS(FData(row))));
  Text3->setText(QString::fromStdString(FormatFS(SData(row))));
}

}  // namespace yex
