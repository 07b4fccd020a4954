#include "toolkit/widgets.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "app/scattering_data/data_folder.h"

namespace yex {

int Twips(int twips) { return (twips + 7) / 15; }

void PlaceTwips(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

void PlaceTwipsAuto(QLabel* w, int left, int top) {
  w->move(Twips(left), Twips(top));
  w->adjustSize();
}

void FitCentred(QLabel* w) {
  const int need = w->sizeHint().width();
  if (need <= w->width()) return;
  const int centre = w->x() + w->width() / 2;
  w->setGeometry(centre - need / 2, w->y(), need, w->height());
}

void SetTabIndex(QWidget* w, int index) { w->setProperty("tabIndex", index); }

int TabIndex(const QWidget* w) {
  QVariant v = w->property("tabIndex");
  return v.isValid() ? v.toInt() : -1;
}

void ApplyTabOrder(QWidget* parent) {
  QList<QWidget*> chain;
  for (QWidget* w : parent->findChildren<QWidget*>())
    if (TabIndex(w) >= 0 && w->focusPolicy() != Qt::NoFocus) chain << w;
  std::sort(chain.begin(), chain.end(), [](QWidget* a, QWidget* b) { return TabIndex(a) < TabIndex(b); });
  for (int i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
}

namespace {

// A click is a left press and a left release inside the control.
bool CompletesClick(const QWidget* w, const QMouseEvent* e, bool& pressed) {
  const bool click = pressed && e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
  pressed = false;
  return click;
}

}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent* e) {
  pressed_ = e->button() == Qt::LeftButton;
  QLabel::mousePressEvent(e);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
  QLabel::mouseReleaseEvent(e);
  if (CompletesClick(this, e, pressed_)) emit clicked();
}

CommandButton::CommandButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setAutoDefault(false);
  setDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent* e) {
  const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
  if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    click();
    return;
  }
  QPushButton::keyPressEvent(e);
}

void ForgetUnchosenRow(QListWidget* list) {
  if (list->selectedItems().isEmpty() && list->currentIndex().isValid()) {
    const QSignalBlocker block(list);
    list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
}

void RowListBox::focusInEvent(QFocusEvent* e) {
  QListWidget::focusInEvent(e);
  ForgetUnchosenRow(this);
}

namespace {

class FocusMark : public QWidget {
 public:
  explicit FocusMark(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("FocusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.setPen(Qt::black);
    p.drawRect(r);
    p.drawRect(r.adjusted(2, 2, -2, -2));
    p.setPen(Qt::white);
    p.drawRect(r.adjusted(1, 1, -1, -1));
  }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == target_ && (e->type() == QEvent::Move || e->type() == QEvent::Resize ||
                         e->type() == QEvent::Hide || e->type() == QEvent::Show))
      Follow(target_);
    return false;
  }

 private:
  void Follow(QWidget* w) {
    if (target_ && target_ != w) target_->removeEventFilter(this);
    QWidget* window = parentWidget();
    if (!w || w == window || w->window() != window || !w->isVisible()) {
      target_ = w && w->window() == window && w != window ? w : nullptr;
      if (target_) target_->installEventFilter(this);
      hide();
      return;
    }
    if (target_ != w) w->installEventFilter(this);
    target_ = w;
    setGeometry(QRect(w->mapTo(window, QPoint(0, 0)), w->size()).adjusted(-3, -3, 3, 3));
    raise();
    show();
    update();
  }
  QPointer<QWidget> target_;
};

}  // namespace

void InstallFocusMark(QWidget* window) { new FocusMark(window); }

namespace {

// Where the frame's top left corner belongs for the frame to be centred.
QPoint CentredFrameCorner(const QWidget* window) {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return window->frameGeometry().topLeft();
  const QRect area = s->availableGeometry();
  const QSize frame = window->frameGeometry().size();
  return {area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2};
}

// The frame is known only once a window manager has put it around the shown
// window, and window managers differ in how they read a requested position.
// From the first showing, this waits for the frame and moves the window by
// however far its frame stands from the centre, until it stands there (a
// few steps at most), and goes.
class FrameCentrer : public QObject {
 public:
  explicit FrameCentrer(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Show && !timer_.isActive()) {
      QObject::connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
      timer_.start(25);
    }
    return false;
  }

 private:
  void Step() {
    if (++ticks_ > 80 || moves_ > 4) {
      deleteLater();
      return;
    }
    if (window_->frameGeometry().size() == window_->size()) return;  // no frame yet
    const QPoint off = CentredFrameCorner(window_) - window_->frameGeometry().topLeft();
    if (off.isNull()) {
      if (++steady_ >= 4) deleteLater();
      return;
    }
    steady_ = 0;
    ++moves_;
    window_->move(window_->pos() + off);
  }
  QWidget* window_;
  QTimer timer_;
  int ticks_ = 0, moves_ = 0, steady_ = 0;
};

}  // namespace

void CentreFrameOnScreen(QWidget* window) {
  window->move(CentredFrameCorner(window));
  new FrameCentrer(window);
}

void ShowInFront(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

ClickLineEdit::ClickLineEdit(QWidget* parent) : QLineEdit(parent) {}

void ClickLineEdit::mousePressEvent(QMouseEvent* e) {
  pressed_ = e->button() == Qt::LeftButton;
  QLineEdit::mousePressEvent(e);
}

void ClickLineEdit::mouseReleaseEvent(QMouseEvent* e) {
  QLineEdit::mouseReleaseEvent(e);
  if (CompletesClick(this, e, pressed_)) emit clicked();
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { emit fileClicked(item->text()); });
  connect(this, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item && item->isSelected()) emit fileClicked(item->text());
  });
}

void FileListBox::focusInEvent(QFocusEvent* e) {
  QListWidget::focusInEvent(e);
  ForgetUnchosenRow(this);
}

void FileListBox::setPath(const QString& folder) {
  folder_ = folder;
  refresh();
}

void FileListBox::refresh() {
  const QString keep = selectedFileName();
  const QSignalBlocker block(this);
  clear();
  QStringList names;
  for (const std::string& n : FolderStore(QFile::encodeName(folder_).toStdString()).List()) {
    // A name the file system holds in another encoding cannot be picked.
    const QString name = QFile::decodeName(QByteArray::fromStdString(n));
    if (QFile::encodeName(name).toStdString() == n) names << name;
  }
  addItems(names);
  if (!keep.isEmpty()) selectFileName(keep);
}

QString FileListBox::selectedFileName() const {
  const QList<QListWidgetItem*> items = selectedItems();
  return items.isEmpty() ? QString() : items.first()->text();
}

bool FileListBox::selectFileName(const QString& name) {
  const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  setCurrentItem(found.first());
  found.first()->setSelected(true);
  scrollToItem(found.first());
  return true;
}

OutlineShape::OutlineShape(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void OutlineShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QPen(colour_, 1));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace yex
