#pragma once

#include <QLineEdit>

namespace quorvane::ui {

// A one-line box for a number, read the way the calculation reads it.
//  - It never holds a line break or a tab: pasted or set text keeps its
//    first line, and a tab becomes a blank.
//  - While its text is not wholly a number (blanks aside), it is marked with
//    a red frame and a tooltip that says what the text will be read as
//    ("读作 10"). An empty box is not marked.
//  - A station box also takes chainage notation ("K0+180.108") as whole.
class NumberBox : public QLineEdit {
 public:
  enum class Reads { Number, Station };
  explicit NumberBox(const QString& text = QString(), QWidget* parent = nullptr, Reads reads = Reads::Number);

 private:
  void Mark();
  Reads reads_;
};

}  // namespace quorvane::ui
