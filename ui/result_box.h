#pragma once

#include <QBasicTimer>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <memory>
#include <string_view>
#include <vector>

#include "command/run_calculation.h"

namespace quorvane::ui {

// A report the window appended to the result box: the boxes as read for it
// (the curve it was computed for) and its text as appended, by which its own
// lines are told from lines typed into it later.
struct AppendedReport {
  BoxReading curve;
  QString text;
  const TableLayout* table = nullptr;  // how the text is laid out, when it is a table
};

// One stretch of the result box's text: the current text of one appended
// report, or text typed before, between or after them (report null).
struct BoxPiece {
  QString text;
  std::shared_ptr<const AppendedReport> report;
};

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
  //
  // `report`, when given, describes the text added; Pieces() finds the text
  // again however the user edits the box around it or inside it.
  void Append(std::string_view utf8, std::shared_ptr<const AppendedReport> report = nullptr);

  // The whole text in order, cut where each described addition begins and
  // ends. Text typed at an addition's first position or right after its end
  // lies outside it; an addition deleted whole is gone.
  std::vector<BoxPiece> Pieces() const;

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

  // Where each described addition stands: `from` moves on with text typed
  // at it, `to` stays before text added at it.
  struct Addition {
    QTextCursor from;
    QTextCursor to;
    std::shared_ptr<const AppendedReport> report;
  };
  std::vector<Addition> additions_;

  QBasicTimer tripleClick_;
  QPoint doubleClickAt_;
};

}  // namespace quorvane::ui
