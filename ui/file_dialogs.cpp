#include "ui/file_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QStandardPaths>

#include "ui/number_box.h"

namespace quorvane::ui {

QString QtFileDialogs::SaveFileName(QWidget* parent, const QString& caption, const QString& proposedName,
                                    const QStringList& filters) {
  if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QFileDialog dialog(parent, caption, folder_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QFileInfo(proposedName).suffix());
  dialog.selectFile(proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  const QString chosen = dialog.selectedFiles().constFirst();
  folder_ = QFileInfo(chosen).absolutePath();
  return chosen;
}

std::optional<QStringList> QtFileDialogs::AskTexts(QWidget* parent, const QString& title, const QStringList& labels) {
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  auto* form = new QFormLayout(&dialog);
  QList<NumberBox*> boxes;
  for (const QString& label : labels) {
    boxes << new NumberBox(QString(), &dialog);
    form->addRow(label, boxes.back());
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  QStringList texts;
  for (const NumberBox* box : boxes) texts << box->text();
  return texts;
}

}  // namespace quorvane::ui
