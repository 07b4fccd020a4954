#include "aux_windows/form3.h"

#include "app/windows.h"
#include "core/shipped/data_source_text.h"
#include "main_window/form1.h"
#include "toolkit/fonts.h"
#include "toolkit/widgets.h"

namespace yex {
namespace {

QLabel* SourceLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font) {
  auto* l = new QLabel(text, parent);
  l->setTextFormat(Qt::PlainText);
  l->setFont(font);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, QColor(0, 0, 255));
  l->setPalette(p);
  PlaceTwipsAuto(l, left, top);
  return l;
}

}  // namespace

Form3::Form3() {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setFixedSize(Twips(5595), Twips(2940));
  move(Twips(1245), Twips(3000));

  const QFont text = VbFont(kTimes, 11.25);
  Label1 = SourceLabel(this, QString::fromLatin1(data_source::kHeading), 240, 240, VbFont(kTimes, 12, true));
  Label3 = SourceLabel(this, QString::fromLatin1(data_source::kTitle1), 480, 600, text);
  Label2 = SourceLabel(this, QString::fromLatin1(data_source::kTitle2), 480, 840, text);
  Label7 = SourceLabel(this, QString::fromLatin1(data_source::kAuthors), 480, 1200, text);
  Label6 = SourceLabel(this, QString::fromLatin1(data_source::kJournal), 480, 1560, text);
  Label4 = SourceLabel(this, QString::fromLatin1(data_source::kVolume), 2760, 1800, text);

  Command1 = new CommandButton(QStringLiteral("Close"), this);
  Command1->setFont(VbFont(kTimes, 9));
  PlaceTwips(Command1, 2400, 2280, 855, 375);
  connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);

  // Two outlines one pixel apart are the panel's only edge.
  auto* shape2 = new OutlineShape(Qt::white, this);
  shape2->setObjectName(QStringLiteral("Shape2"));
  PlaceTwips(shape2, 15, 15, 5520, 2895);
  auto* shape1 = new OutlineShape(Qt::black, this);
  shape1->setObjectName(QStringLiteral("Shape1"));
  PlaceTwips(shape1, 30, 30, 5535, 2895);
  setFocusProxy(Command1);
  InstallFocusMark(this);
}

// The main window, beside which this one stood, gets the keyboard back.
void Form3::Command1_Click() {
  hide();
  if (Windows::exists(Windows::Which::Form1)) ShowInFront(&Windows::form1());
}

}  // namespace yex
