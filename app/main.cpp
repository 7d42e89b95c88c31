#include <QApplication>

#include "ui/form1.h"
#include "ui/message_boxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Message boxes are windows of their own and do not take the window's font.
  QApplication::setFont(quorvane::ui::WindowFont());

  quorvane::ui::QtMessageBoxes boxes;
  quorvane::ui::Form1 form1(boxes);
  form1.show();
  return QApplication::exec();
}
