#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace quorvane::ui {

// Every file dialog and small input dialog the window opens goes through
// this, so that tests can answer them instead of blocking on a modal dialog.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;

  // The file to save to, or an empty string when the user cancels.
  // `proposedName` is the file name offered; `filters` are Qt name filters
  // ("CSV 文件 (*.csv)", ...), the first one selected.
  virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& proposedName,
                               const QStringList& filters) = 0;

  // What 确定 does with the texts typed: true closes the dialog; false keeps
  // it open with the texts as they are (the check shows why itself).
  using TextCheck = std::function<bool(const QStringList& texts)>;

  // A small modal dialog with one labelled line box per entry of `labels`,
  // holding `texts` at first (same order; missing ones empty). Returns the
  // texts `check` accepted, or nothing when the user cancels.
  virtual std::optional<QStringList> AskTexts(QWidget* parent, const QString& title, const QStringList& labels,
                                              const QStringList& texts, const TextCheck& check) = 0;

  // An existing file to open, or an empty string when the user cancels (as
  // does a dialog that cannot be shown).
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QStringList& filters) {
    (void)parent, (void)caption, (void)filters;
    return {};
  }

  // One of `items` chosen from a list (the first selected; arrows move,
  // Return or a double click chooses, Escape cancels): its index, or nothing
  // when the user cancels (as does a dialog that cannot be shown).
  virtual std::optional<int> ChooseOne(QWidget* parent, const QString& title, const QString& prompt,
                                       const QStringList& items) {
    (void)parent, (void)title, (void)prompt, (void)items;
    return std::nullopt;
  }
};

// The real dialogs: Qt's file dialog, opened in the folder last saved to (at
// first the user's documents), which adds the chosen file type's extension to
// a name typed without one; a small form of number boxes with 确定 and 取消;
// and a list to choose from with 确定 and 取消.
class QtFileDialogs final : public FileDialogs {
 public:
  QString SaveFileName(QWidget* parent, const QString& caption, const QString& proposedName,
                       const QStringList& filters) override;
  std::optional<QStringList> AskTexts(QWidget* parent, const QString& title, const QStringList& labels,
                                      const QStringList& texts, const TextCheck& check) override;
  QString OpenFileName(QWidget* parent, const QString& caption, const QStringList& filters) override;
  std::optional<int> ChooseOne(QWidget* parent, const QString& title, const QString& prompt,
                               const QStringList& items) override;

 private:
  QString folder_;
};

}  // namespace quorvane::ui
