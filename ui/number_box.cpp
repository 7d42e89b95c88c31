#include "ui/number_box.h"

#include <QValidator>
#include <algorithm>
#include <cmath>
#include <string>

#include "calc/read_number.h"
#include "report/number_text.h"

namespace quorvane::ui {
namespace {

bool IsLineBreak(QChar c) {
  switch (c.unicode()) {
    case u'\n': case u'\r': case u'\v': case u'\f': case 0x85: case 0x2028: case 0x2029:
      return true;
    default:
      return false;
  }
}

// Keeps a box's text on one line. QLineEdit runs every change through its
// validator, which may rewrite the text: `cursor` then stands at the end of
// what was just inserted, and the text before the change held no break, so
// whatever lies between the first break and the cursor is the rest of the
// inserted text after its first line.
class OneLine : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& text, int& cursor) const override {
    text.replace(u'\t', u' ');
    const auto breakAt = std::find_if(text.cbegin(), text.cend(), IsLineBreak);
    if (breakAt != text.cend()) {
      const int first = static_cast<int>(breakAt - text.cbegin());
      const int rest = std::max(cursor, first);
      text.remove(first, rest - first);
      cursor = first;
    }
    return Acceptable;
  }
};

const QString kMarkedStyle = QStringLiteral("QLineEdit { border: 2px solid rgb(224, 0, 0); }");

}  // namespace

NumberBox::NumberBox(const QString& text, QWidget* parent, Reads reads) : QLineEdit(parent), reads_(reads) {
  setValidator(new OneLine(this));
  connect(this, &QLineEdit::textChanged, this, &NumberBox::Mark);
  setText(text);
  Mark();
}

void NumberBox::Mark() {
  const QByteArray utf8 = text().toUtf8();
  const std::string_view shown(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  const bool station = reads_ == Reads::Station;
  const bool marked = station ? !IsWholeStation(shown) : !IsWholeNumber(shown);
  if (marked) {
    const double value = station ? ReadStation(shown) : ReadNumber(shown);
    std::string readAs = "读作 ";
    if (std::isfinite(value)) {
      AppendGeneral(readAs, value);
    } else {
      readAs += "超出范围的数";
    }
    setToolTip(QString::fromStdString(readAs));
  } else {
    setToolTip(QString());
  }
  setAccessibleDescription(toolTip());
  // Only a change of state restyles the box.
  if (marked != !styleSheet().isEmpty()) setStyleSheet(marked ? kMarkedStyle : QString());
}

}  // namespace quorvane::ui
