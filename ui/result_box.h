#pragma once

#include <QBasicTimer>
#include <QPlainTextEdit>
#include <string_view>

namespace quorvane::ui {

// The window's result box: a plain-text box that calculations append their
// reports to and the user reads, selects, copies and may annotate.
//
// Reports can run to tens of thousands of lines, so the box keeps them as
// paragraphs of many lines joined by line separators (they show, select and
// copy out like separate lines) and tells the text layout each paragraph's
// line count itself, before it is drawn and again after every relayout, so
// the scroll bar always spans every line.
class ResultBox : public QPlainTextEdit {
 public:
  explicit ResultBox(QWidget* parent = nullptr);

  // Adds `utf8` at the very end, with no separator, and scrolls the line it
  // starts on to the top of the view (as far as the scroll bar goes). The
  // addition is not an edit the user can undo: Ctrl+Z never takes back a
  // report, and edits made before it can no longer be undone either.
  void Append(std::string_view utf8);

 protected:
  // A triple click selects the line under the mouse, not the whole
  // paragraph of lines it sits in.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void CountLines(int from, int charsAdded);
  void RestoreLineCounts();
  void ForgetWhenEmpty();

  QBasicTimer tripleClick_;
  QPoint doubleClickAt_;
};

}  // namespace quorvane::ui
