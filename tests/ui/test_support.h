#pragma once

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "ui/form1.h"
#include "ui/message_boxes.h"

namespace quorvane::ui::testing {

// Records every box instead of showing it and answers at once. `whileOpen`
// runs while a box "is open", to look at the window at that moment.
class FakeMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    QString prompt;
    QString title;
    bool yesNo;
  };
  std::vector<Shown> shown;
  bool answer = true;
  std::function<void()> whileOpen;

  void Inform(QWidget*, const QString& prompt, const QString& title) override { Record({prompt, title, false}); }
  bool AskYesNo(QWidget*, const QString& prompt, const QString& title) override {
    Record({prompt, title, true});
    return answer;
  }

 private:
  void Record(Shown box) {
    shown.push_back(std::move(box));
    if (whileOpen) whileOpen();
  }
};

// The report block for the default inputs, interval 10 and a right turn, as
// the result box shows it (plain line breaks).
inline QString WorkedBlock() {
  QFile file(QStringLiteral(QUORVANE_WORKED_BLOCK));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", QUORVANE_WORKED_BLOCK);
  return QString::fromUtf8(file.readAll());
}

template <typename T>
T* Control(const Form1& form, const char* name) {
  T* control = form.findChild<T*>(QString::fromLatin1(name));
  if (control == nullptr) qFatal("no control %s", name);
  return control;
}

// A window shown, active and holding the focus where the user would find it.
inline std::unique_ptr<Form1> ShownWindow(MessageBoxes& boxes) {
  auto form = std::make_unique<Form1>(boxes);
  form->show();
  form->activateWindow();
  if (!QTest::qWaitForWindowActive(form.get())) qFatal("window did not become active");
  return form;
}

}  // namespace quorvane::ui::testing
