#include "ui/result_box.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace quorvane::ui {
namespace {

// Qt's text document pays a few microseconds for every paragraph it adds,
// which for 32,767 stakes would be most of a click, and more the more the box
// holds. So report lines go in as paragraphs of up to kLinesPerParagraph
// lines joined by line separators. The text's last line break always ends a
// paragraph. CR LF and a lone CR count as one break.
constexpr int kLinesPerParagraph = 64;

QString ParagraphText(std::string_view utf8) {
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  QChar* out = text.data();
  const QChar* in = out;
  const QChar* const end = in + text.size();
  int linesInParagraph = 0;
  for (; in != end; ++in) {
    QChar c = *in;
    if (c == u'\r') {
      if (in + 1 != end && in[1] == u'\n') continue;
      c = u'\n';
    }
    if (c == u'\n') {
      if (++linesInParagraph < kLinesPerParagraph && in + 1 != end) {
        c = QChar::LineSeparator;
      } else {
        linesInParagraph = 0;
      }
    }
    *out++ = c;
  }
  text.truncate(out - text.constData());
  return text;
}

// Without wrapping, a paragraph shows one line per line separator and one more.
int LinesOf(const QTextBlock& paragraph) {
  return static_cast<int>(paragraph.text().count(QChar::LineSeparator)) + 1;
}

}  // namespace

ResultBox::ResultBox(QWidget* parent) : QPlainTextEdit(parent) {
  // The line counts below hold only for unwrapped text.
  setLineWrapMode(QPlainTextEdit::NoWrap);
  QTextDocument* text = document();
  // Each paragraph's true line count rides along in its user state, set
  // whenever its text changes.
  connect(text, &QTextDocument::contentsChange, this,
          [this](int from, int, int charsAdded) { CountLines(from, charsAdded); });
  // The plain-text layout counts every paragraph as one line again when it
  // lays the document out anew (a width change, a font or style change) and
  // learns better only for the paragraphs it draws; that would shrink the
  // scroll bar to a fraction of the text.
  connect(text->documentLayout(), &QAbstractTextDocumentLayout::update, this,
          [this] { RestoreLineCounts(); });
  connect(text, &QTextDocument::contentsChanged, this, &ResultBox::ForgetWhenEmpty, Qt::QueuedConnection);
}

void ResultBox::Append(std::string_view utf8, std::shared_ptr<const AppendedReport> report) {
  QTextDocument* text = document();
  QTextCursor end(text);
  end.movePosition(QTextCursor::End);
  const int from = end.position();
  const QTextBlock last = end.block();
  const int startLine = last.firstLineNumber() +
                        static_cast<int>(last.text().count(QChar::LineSeparator));
  // Inserting at the end touches only the new text, however much the box
  // already holds. With undo off for the insertion the report never enters
  // the undo history (Qt has no other way to insert without an undo step);
  // turning undo off also drops the history before it, so the user's earlier
  // edits can no longer be undone once a report follows them.
  text->setUndoRedoEnabled(false);
  end.insertText(ParagraphText(utf8));
  text->setUndoRedoEnabled(true);
  RestoreLineCounts();
  verticalScrollBar()->setValue(startLine);

  // Additions the user has deleted whole are forgotten.
  std::erase_if(additions_, [](const Addition& a) { return a.from.position() >= a.to.position(); });
  if (report != nullptr) {
    Addition added{QTextCursor(text), QTextCursor(text), std::move(report)};
    added.from.setPosition(from);
    added.to.movePosition(QTextCursor::End);
    added.to.setKeepPositionOnInsert(true);
    additions_.push_back(std::move(added));
  }
}

std::vector<BoxPiece> ResultBox::Pieces() const {
  // The plain text has one character for each position of the document,
  // line and paragraph breaks included.
  const QString all = document()->toPlainText();
  std::vector<BoxPiece> pieces;
  qsizetype at = 0;
  for (const Addition& a : additions_) {
    const qsizetype from = std::max<qsizetype>(at, a.from.position());
    const qsizetype to = std::min<qsizetype>(all.size(), a.to.position());
    if (from >= to) continue;
    if (from > at) pieces.push_back({all.mid(at, from - at), nullptr});
    pieces.push_back({all.mid(from, to - from), a.report});
    at = to;
  }
  if (at < all.size()) pieces.push_back({all.mid(at), nullptr});
  return pieces;
}

void ResultBox::CountLines(int from, int charsAdded) {
  const QTextBlock last = document()->findBlock(from + charsAdded);
  for (QTextBlock paragraph = document()->findBlock(from); paragraph.isValid(); paragraph = paragraph.next()) {
    paragraph.setUserState(LinesOf(paragraph));
    if (paragraph == last) break;
  }
}

void ResultBox::RestoreLineCounts() {
  bool changed = false;
  for (QTextBlock paragraph = document()->firstBlock(); paragraph.isValid(); paragraph = paragraph.next()) {
    const int lines = paragraph.userState();
    // A paragraph laid out already knows its lines.
    if (lines > 1 && paragraph.lineCount() != lines && paragraph.layout()->lineCount() == 0) {
      paragraph.setLineCount(lines);
      changed = true;
    }
  }
  if (changed) {
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
  }
}

// Emptying the box lets go of the memory its text took: the undo history
// would otherwise keep every report that was removed.
void ResultBox::ForgetWhenEmpty() {
  if (!document()->isEmpty()) return;
  additions_.clear();
  if (document()->isUndoAvailable() || document()->isRedoAvailable()) document()->clear();
}

void ResultBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseDoubleClickEvent(event);
  tripleClick_.start(QApplication::doubleClickInterval(), this);
  doubleClickAt_ = event->position().toPoint();
}

void ResultBox::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (!tripleClick_.isActive() || event->button() != Qt::LeftButton ||
      (at - doubleClickAt_).manhattanLength() >= QApplication::startDragDistance()) {
    QPlainTextEdit::mousePressEvent(event);
    return;
  }
  tripleClick_.stop();
  QTextCursor line = cursorForPosition(at);
  line.movePosition(QTextCursor::StartOfLine);
  line.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
  line.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);  // and its line break
  setTextCursor(line);
  event->accept();
}

void ResultBox::timerEvent(QTimerEvent* event) {
  if (event->timerId() == tripleClick_.timerId()) {
    tripleClick_.stop();
  } else {
    QPlainTextEdit::timerEvent(event);
  }
}

}  // namespace quorvane::ui
