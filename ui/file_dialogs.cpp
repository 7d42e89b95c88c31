#include "ui/file_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "ui/number_box.h"

namespace quorvane::ui {

QString QtFileDialogs::SaveFileName(QWidget* parent, const QString& caption, const QString& proposedName,
                                    const QStringList& filters) {
  if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QFileDialog dialog(parent, caption, folder_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  // A name typed without an extension gets the one of the file type chosen
  // in the list ("CSV 文件 (*.csv)"; none for "所有文件 (*)"), at first the
  // proposed name's.
  dialog.setDefaultSuffix(QFileInfo(proposedName).suffix());
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    const QRegularExpressionMatch pattern = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    dialog.setDefaultSuffix(pattern.hasMatch() ? pattern.captured(1) : QString());
  });
  dialog.selectFile(proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  const QString chosen = dialog.selectedFiles().constFirst();
  folder_ = QFileInfo(chosen).absolutePath();
  return chosen;
}

QString QtFileDialogs::OpenFileName(QWidget* parent, const QString& caption, const QStringList& filters) {
  if (folder_.isEmpty()) folder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QFileDialog dialog(parent, caption, folder_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  const QString chosen = dialog.selectedFiles().constFirst();
  folder_ = QFileInfo(chosen).absolutePath();
  return chosen;
}

std::optional<QStringList> QtFileDialogs::AskTexts(QWidget* parent, const QString& title, const QStringList& labels,
                                                   const QStringList& texts, const TextCheck& check) {
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  auto* form = new QFormLayout(&dialog);
  QList<NumberBox*> boxes;
  for (qsizetype i = 0; i < labels.size(); ++i) {
    boxes << new NumberBox(texts.value(i), &dialog);
    form->addRow(labels[i], boxes.back());
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  const auto typed = [&boxes] {
    QStringList now;
    for (const NumberBox* box : boxes) now << box->text();
    return now;
  };
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    if (!check || check(typed())) dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return typed();
}

std::optional<int> QtFileDialogs::ChooseOne(QWidget* parent, const QString& title, const QString& prompt,
                                            const QStringList& items) {
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dialog);
  auto* caption = new QLabel(prompt, &dialog);
  layout->addWidget(caption);
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("choices"));
  list->addItems(items);
  list->setCurrentRow(0);
  caption->setBuddy(list);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  list->setFocus();
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return list->currentRow();
}

}  // namespace quorvane::ui
