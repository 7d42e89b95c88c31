#pragma once

#include <QString>

class QCoreApplication;
class QWidget;

namespace quorvane::ui {

// Every modal box the window shows goes through this, so that tests can answer
// the boxes themselves instead of blocking on them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // Prompt and title with a single OK button, no icon; returns once answered.
  virtual void Inform(QWidget* parent, const QString& prompt, const QString& title) = 0;

  // Prompt and title with Yes and No, Yes the default, no icon; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& prompt, const QString& title) = 0;

  // Prompt and title with Yes, No and Cancel, Yes the default and Escape
  // cancelling; no icon. A box that cannot be shown cancels, so that nothing
  // is thrown away unasked.
  enum class Answer { Yes, No, Cancel };
  virtual Answer AskYesNoCancel(QWidget* parent, const QString& prompt, const QString& title) {
    (void)parent, (void)prompt, (void)title;
    return Answer::Cancel;
  }
};

// The real boxes: a modal QMessageBox over `parent`.
class QtMessageBoxes final : public MessageBoxes {
 public:
  void Inform(QWidget* parent, const QString& prompt, const QString& title) override;
  bool AskYesNo(QWidget* parent, const QString& prompt, const QString& title) override;
  Answer AskYesNoCancel(QWidget* parent, const QString& prompt, const QString& title) override;
};

// Loads Qt's own Chinese texts (是/否/确定, 撤销/复制/全选, the file dialog)
// from Qt's translations folder, whatever the system language: the window is
// Chinese throughout. False when they are not installed (Debian package
// qt6-translations-l10n); Qt's English texts stay then.
bool InstallQtChineseTranslations(QCoreApplication& app);

}  // namespace quorvane::ui
