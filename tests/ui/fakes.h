#pragma once

// The message boxes and file dialogs of the windows, answered at once and
// recorded, and the files behind them, for the window tests.
#include <QFile>
#include <QStringList>
#include <functional>
#include <optional>

#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"

namespace quorvane::ui::testing {

// Records every box and answers at once: 是 to a question, `answer` to one
// with 取消; `whileOpen` runs while a box "is open".
struct FakeBoxes : MessageBoxes {
  QStringList prompts, titles;
  std::function<void()> whileOpen;
  Answer answer = Answer::Cancel;
  void Inform(QWidget*, const QString& prompt, const QString& title) override { AskYesNo(nullptr, prompt, title); }
  bool AskYesNo(QWidget*, const QString& prompt, const QString& title) override {
    prompts << prompt, titles << title;
    if (whileOpen) whileOpen();
    return true;
  }
  Answer AskYesNoCancel(QWidget* parent, const QString& prompt, const QString& title) override {
    AskYesNo(parent, prompt, title);
    return answer;
  }
};

// Answers a save dialog with `file` and an open dialog with `open` (empty:
// cancelled), a small dialog with `texts` (none: cancelled; texts its check
// refuses: the dialog stays open and is then cancelled); keeps the name a
// save dialog proposed, how often one was asked, and what a small dialog
// opened with; a list to choose from with `chosen` (none: cancelled).
struct FakeDialogs : FileDialogs {
  QString file, open, proposed;
  int asked = 0;
  std::optional<QStringList> texts;
  QStringList openedWith;
  bool stayedOpen = false;
  QString SaveFileName(QWidget*, const QString&, const QString& name, const QStringList&) override {
    ++asked;
    proposed = name;
    return file;
  }
  QString OpenFileName(QWidget*, const QString&, const QStringList&) override { return open; }
  // A list to choose from: answered with `chosen`, its items kept.
  std::optional<int> chosen;
  QStringList choices;
  std::optional<int> ChooseOne(QWidget*, const QString&, const QString&, const QStringList& items) override {
    choices = items;
    return chosen;
  }
  std::optional<QStringList> AskTexts(QWidget*, const QString&, const QStringList&, const QStringList& shown,
                                      const TextCheck& check) override {
    openedWith = shown;
    stayedOpen = texts && !check(*texts);
    return stayedOpen ? std::nullopt : texts;
  }
};

// A file's bytes (none when it cannot be read); a file written whole.
inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A LandXML 1.2 file of `alignments` (their XML).
inline QByteArray LandXmlFile(const QByteArray& alignments) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">\n" +
         alignments + "</LandXML>\n";
}

}  // namespace quorvane::ui::testing
