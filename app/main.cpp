#include <QApplication>
#include <cstdio>

#include "ui/file_dialogs.h"
#include "ui/form1.h"
#include "ui/line/line_window.h"
#include "ui/message_boxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Where the recently opened lines are remembered (QSettings).
  QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
  QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
  // Message boxes are windows of their own and do not take the window's font.
  QApplication::setFont(quorvane::ui::WindowFont());
  if (!quorvane::ui::InstallQtChineseTranslations(app))
    std::fputs("Qt's Chinese translations (qtbase_zh_CN) are not installed; its standard texts stay English.\n",
               stderr);

  quorvane::ui::QtMessageBoxes boxes;
  quorvane::ui::QtFileDialogs dialogs;
  quorvane::ui::Form1 form1(boxes, dialogs);
  // quorvane LINE.xml ... (or files opened from the desktop) opens a 路线
  // window for each; the calculator comes up when none of them could be read.
  bool lineOpened = false;
  for (int i = 1; i < argc; ++i) {
    const QString path = QString::fromLocal8Bit(argv[i]);
    if (path.startsWith(u'-')) continue;  // Qt's own options are taken out already
    lineOpened = quorvane::ui::OpenLineWindow(boxes, dialogs, path) != nullptr || lineOpened;
  }
  if (!lineOpened) form1.show();
  return QApplication::exec();
}
