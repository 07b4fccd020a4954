#include "toolkit/widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/scattering_data/table_file.h"

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

void RowListBox::focusInEvent(QFocusEvent* e) {
  QListWidget::focusInEvent(e);
  if (selectedItems().isEmpty() && currentIndex().isValid()) {
    const QSignalBlocker block(this);
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
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

void FileListBox::setPath(const QString& folder) {
  folder_ = folder;
  refresh();
}

void FileListBox::refresh() {
  const QString keep = selectedFileName();
  const QSignalBlocker block(this);
  clear();
  addItems(ListTableFiles(folder_));
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
