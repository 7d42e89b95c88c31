#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSpacerItem>
#include <QTranslator>

namespace quorvane::ui {
namespace {

// Room in the title bar besides the title: the icon and up to three buttons,
// about 32 pixels each at 96 DPI.
constexpr int kTitleBarRoomAt96Dpi = 4 * 32;

// A message box as narrow as its prompt would cut its title short ("…"):
// Qt sizes it for the title with little room for the title bar's own icon
// and buttons, and title bars often use a larger font.
void WidenForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  const int room = kTitleBarRoomAt96Dpi * box.logicalDpiX() / 96;
  const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) * 3 / 2 + room;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                grid->columnCount());
}

}  // namespace

void QtMessageBoxes::Inform(QWidget* parent, const QString& prompt, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, parent);
  WidenForTitle(box);
  box.exec();
}

bool QtMessageBoxes::AskYesNo(QWidget* parent, const QString& prompt, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No, parent);
  WidenForTitle(box);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

MessageBoxes::Answer QtMessageBoxes::AskYesNoCancel(QWidget* parent, const QString& prompt, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                  parent);
  WidenForTitle(box);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

bool InstallQtChineseTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

}  // namespace quorvane::ui
