#include <QApplication>
#include <cstdio>

#include "ui/file_dialogs.h"
#include "ui/form1.h"
#include "ui/message_boxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Message boxes are windows of their own and do not take the window's font.
  QApplication::setFont(quorvane::ui::WindowFont());
  if (!quorvane::ui::InstallQtChineseTranslations(app))
    std::fputs("Qt's Chinese translations (qtbase_zh_CN) are not installed; its standard texts stay English.\n",
               stderr);

  quorvane::ui::QtMessageBoxes boxes;
  quorvane::ui::QtFileDialogs dialogs;
  quorvane::ui::Form1 form1(boxes, dialogs);
  form1.show();
  return QApplication::exec();
}
