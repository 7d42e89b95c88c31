#pragma once

// Message boxes and file dialogs that never wait for anyone, for the window benchmarks.
#include <QStringList>
#include <optional>

#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"

namespace quorvane::bench {

// Counts the boxes shown and answers at once: 是, or 否 where 取消 is offered.
class SilentBoxes : public ui::MessageBoxes {
 public:
  int shown = 0;
  void Inform(QWidget*, const QString&, const QString&) override { ++shown; }
  bool AskYesNo(QWidget*, const QString&, const QString&) override { return ++shown, true; }
  Answer AskYesNoCancel(QWidget*, const QString&, const QString&) override { return ++shown, Answer::No; }
};

// Every dialog cancelled.
class NoDialogs : public ui::FileDialogs {
 public:
  QString SaveFileName(QWidget*, const QString&, const QString&, const QStringList&) override { return {}; }
  std::optional<QStringList> AskTexts(QWidget*, const QString&, const QStringList&, const QStringList&,
                                      const TextCheck&) override {
    return {};
  }
};

}  // namespace quorvane::bench
