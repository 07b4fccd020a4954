// Small controls the windows are built from: clickable captions and boxes,
// the file list of a folder, the outline rectangle, and twips placement.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QString>

namespace yex {

// Twips to pixels at 96 dpi: 15 twips a pixel.
int Twips(int twips);
void PlaceTwips(QWidget* w, int left, int top, int width, int height);
// Places a label that sizes itself to its text.
void PlaceTwipsAuto(QLabel* w, int left, int top);

// Widens a centred label about its centre when its text would be clipped.
void FitCentred(QLabel* w);

// Tab position of a control, kept as a property for the focus chain.
void SetTabIndex(QWidget* w, int index);
int TabIndex(const QWidget* w);
// Chains the focusable children of `parent` by their tab indices.
void ApplyTabOrder(QWidget* parent);

// A caption that reports a click (press and release inside it).
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(const QString& text, QWidget* parent = nullptr);
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool pressed_ = false;
};

// A push button that Return and the keypad's Enter press while it has the
// focus, as Space does; it never becomes a default button, so Enter
// elsewhere keeps its own meaning.
class CommandButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CommandButton(const QString& text = QString(), QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
};

// A list box whose row display follows the user's choice only: focus
// arriving by the keyboard makes no row current, so the first arrow key
// selects row 1 as a click on it would.
class RowListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit RowListBox(QWidget* parent = nullptr) : QListWidget(parent) {}

 protected:
  void focusInEvent(QFocusEvent* e) override;
};

// Shows a window brought forward by navigation and gives it the keyboard.
void ShowInFront(QWidget* window);

// Keeps a focus mark around whichever control of `window` has the keyboard
// focus: a frame just outside the control, black, white and black, so that
// it shows on any colours and leaves the control's own colours as they are.
void InstallFocusMark(QWidget* window);

// Moves a window so that its frame, title bar included, is centred on the
// primary screen: at once, and again as soon as a window manager has put
// its frame around the shown window.
void CentreFrameOnScreen(QWidget* window);

// A file list or row list with the focus and nothing chosen makes no row
// current, so that the first arrow key chooses the first row.
void ForgetUnchosenRow(QListWidget* list);

// A single-line box that reports a click.
class ClickLineEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit ClickLineEdit(QWidget* parent = nullptr);
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool pressed_ = false;
};

// The bare names of one folder's "*.yex" files, re-read on
// setPath() and refresh(). A missing folder gives an empty list.
class FileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit FileListBox(QWidget* parent = nullptr);
  void setPath(const QString& folder);
  QString path() const { return folder_; }
  void refresh();
  // Bare name of the highlighted entry, or the empty string.
  QString selectedFileName() const;
  // Highlights `name` if listed (as a click would) and returns whether it was.
  bool selectFileName(const QString& name);
 signals:
  // A click, or a move with the keyboard, onto an entry.
  void fileClicked(const QString& name);

 protected:
  void focusInEvent(QFocusEvent* e) override;

 private:
  QString folder_;
};

// A one-pixel outline rectangle drawn over its parent, never taking input.
class OutlineShape : public QWidget {
 public:
  OutlineShape(const QColor& colour, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor colour_;
};

}  // namespace yex
