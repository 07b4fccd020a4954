// Form3: the borderless panel naming the source of the element tables.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace yex {

class Form3 : public QWidget {
  Q_OBJECT
 public:
  Form3();
  void Command1_Click();  // Close

  QLabel *Label1, *Label3, *Label2, *Label7, *Label6, *Label4;
  QPushButton* Command1;
};

}  // namespace yex
