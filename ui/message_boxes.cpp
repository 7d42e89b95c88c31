#include "ui/message_boxes.h"

#include <QMessageBox>

namespace quorvane::ui {

void QtMessageBoxes::Inform(QWidget* parent, const QString& prompt, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, parent);
  box.exec();
}

bool QtMessageBoxes::AskYesNo(QWidget* parent, const QString& prompt, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace quorvane::ui
