#include "ui/print_report.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "report/number_text.h"

namespace quorvane::ui {
namespace {

constexpr double kBodyPointSize = 9.5;
constexpr double kSmallestPointSize = 5.0;
constexpr double kHeaderPointSize = 9.0;
constexpr double kTitlePointSize = 12.0;

QString Number(double value) { return QString::fromStdString(General(value)); }

QStringList SplitLines(const QString& text) {
  QString unified = text;
  unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  for (const QChar c : {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)}) {
    unified.replace(c, QChar(u'\n'));
  }
  QStringList lines = unified.split(QChar(u'\n'));
  while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
  return lines;
}

// The page header's lines of input values.
QStringList InputLines(const Calculation& c) {
  const CurveInput& in = c.input;
  auto radius = [](double r) { return r == 0 ? QStringLiteral("0（直线）") : Number(r); };
  const QString turn = in.turn > 0 ? QStringLiteral("右转") : in.turn < 0 ? QStringLiteral("左转")
                                                                         : QStringLiteral("未选（直线）");
  const QString gap = QStringLiteral("    ");
  return {QStringLiteral("起点桩号 ") + QString::fromStdString(c.lbText) + gap + QStringLiteral("终点桩号 ") + QString::fromStdString(c.leText) +
              gap + QStringLiteral("起点半径 ") + radius(in.Ra) + gap + QStringLiteral("终点半径 ") + radius(in.Rb),
          QStringLiteral("起点 X ") + QString::fromStdString(Fixed3(in.Xa)) + gap + QStringLiteral("Y ") + QString::fromStdString(Fixed3(in.Ya)) +
              gap + QStringLiteral("起点方位角 ") + QString::fromStdString(c.aText) + gap + QStringLiteral("桩距 ") + Number(in.d) +
              gap + QStringLiteral("转向 ") + turn};
}

QFont BodyFont(double pointSize) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // Fixed-width Latin first, then a fixed-width CJK face for the headings.
  font.setFamilies({font.family(), QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("Noto Sans Mono CJK SC")});
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSizeF(pointSize);
  return font;
}

// One line of the result box as laid out for printing.
struct PrintLine {
  QString text;       // a line of one column, as it stands
  QStringList cols;   // a table row
  int table = -1;     // which table, for a row
  bool heading = false;
};

// What one page holds: indices into the lines, and for text lines the pieces
// they were wrapped into.
struct PageLine {
  int line;
  QString piece;  // for a text line
};

class Layout {
 public:
  Layout(const QString& resultText, QPaintDevice* device, double bodyWidth) {
    for (const QString& raw : SplitLines(resultText)) {
      PrintLine line;
      const QStringList cols = SplitColumns(raw);
      if (cols.size() >= 2) {
        const bool continues = !lines_.empty() && lines_.back().table >= 0;
        line.table = continues ? lines_.back().table : tables_++;
        line.cols = cols;
        line.heading = !continues && !cols.first().contains(QRegularExpression(QStringLiteral("[0-9]")));
      } else {
        line.text = raw;
      }
      lines_.push_back(std::move(line));
    }
    // The body font, made smaller when the widest table would not fit.
    font_ = BodyFont(kBodyPointSize);
    Measure(device);
    const double widest = *std::max_element(tableWidth_.begin(), tableWidth_.end());
    if (widest > bodyWidth) {
      font_ = BodyFont(std::max(kSmallestPointSize, kBodyPointSize * bodyWidth / widest));
      Measure(device);
    }
  }

  const QFont& font() const { return font_; }
  double lineHeight() const { return lineHeight_; }
  const std::vector<PrintLine>& lines() const { return lines_; }
  double ColumnX(int table, int column) const { return columnX_[static_cast<std::size_t>(table)][static_cast<std::size_t>(column)]; }

  // The line's text pieces, each fitting `width`.
  QStringList Wrap(const QString& text, double width, QPaintDevice* device) const {
    const QFontMetricsF metrics(font_, device);
    QStringList pieces;
    QString piece;
    for (const QChar c : text) {
      if (!piece.isEmpty() && metrics.horizontalAdvance(piece + c) > width) {
        pieces << piece;
        piece.clear();
      }
      piece += c;
    }
    pieces << piece;
    return pieces;
  }

 private:
  void Measure(QPaintDevice* device) {
    const QFontMetricsF metrics(font_, device);
    lineHeight_ = metrics.lineSpacing();
    const double gap = 2 * metrics.horizontalAdvance(QChar(u'0'));
    std::vector<std::vector<double>> widths(static_cast<std::size_t>(tables_));
    for (const PrintLine& line : lines_) {
      if (line.table < 0) continue;
      auto& w = widths[static_cast<std::size_t>(line.table)];
      if (w.size() < static_cast<std::size_t>(line.cols.size())) w.resize(static_cast<std::size_t>(line.cols.size()), 0);
      for (int i = 0; i < line.cols.size(); ++i) {
        w[static_cast<std::size_t>(i)] = std::max(w[static_cast<std::size_t>(i)], metrics.horizontalAdvance(line.cols[i]));
      }
    }
    columnX_.assign(widths.size(), {});
    tableWidth_.assign(1, 0);
    for (std::size_t t = 0; t < widths.size(); ++t) {
      double x = 0;
      for (const double w : widths[t]) {
        columnX_[t].push_back(x);
        x += w + gap;
      }
      tableWidth_.push_back(x - gap);
    }
  }

  std::vector<PrintLine> lines_;
  int tables_ = 0;
  QFont font_;
  double lineHeight_ = 0;
  std::vector<std::vector<double>> columnX_;  // left edge of each column, per table
  std::vector<double> tableWidth_;
};

}  // namespace

QStringList SplitColumns(const QString& line) {
  static const QRegularExpression blanks(QStringLiteral("[ \\t\\x{3000}]+"));
  return line.split(blanks, Qt::SkipEmptyParts);
}

int PrintResult(QPrinter& printer, const QString& resultText, const Calculation* last, const QDate& date) {
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());

  // Header and footer fonts and heights.
  QFont titleFont = painter.font();
  titleFont.setPointSizeF(kTitlePointSize);
  titleFont.setBold(true);
  QFont headerFont = painter.font();
  headerFont.setPointSizeF(kHeaderPointSize);
  const QFontMetricsF titleMetrics(titleFont, &printer);
  const QFontMetricsF headerMetrics(headerFont, &printer);
  const QStringList inputLines = last != nullptr ? InputLines(*last) : QStringList();
  const double headerHeight = titleMetrics.lineSpacing() + inputLines.size() * headerMetrics.lineSpacing() +
                              headerMetrics.lineSpacing();  // and the rule below it
  const double footerHeight = 2 * headerMetrics.lineSpacing();

  const Layout layout(resultText, &printer, page.width());
  const double lineHeight = layout.lineHeight();
  const int linesPerPage = std::max(1, static_cast<int>((page.height() - headerHeight - footerHeight) / lineHeight));

  // Pagination: a line's wrapped pieces stay on one page where they fit; a
  // table continued on a new page repeats its heading.
  std::vector<std::vector<PageLine>> pages(1);
  std::vector<int> headingOf;  // per table, the line of its heading or -1
  for (std::size_t i = 0; i < layout.lines().size(); ++i) {
    const PrintLine& line = layout.lines()[i];
    if (line.table >= 0 && static_cast<std::size_t>(line.table) >= headingOf.size()) {
      headingOf.push_back(line.heading ? static_cast<int>(i) : -1);
    }
    const QStringList pieces = line.table >= 0 ? QStringList{QString()} : layout.Wrap(line.text, page.width(), &printer);
    const bool fits = static_cast<int>(pages.back().size() + pieces.size()) <= linesPerPage;
    if (!fits && !pages.back().empty()) {
      pages.emplace_back();
      if (line.table >= 0 && !line.heading) {
        const int heading = headingOf[static_cast<std::size_t>(line.table)];
        if (heading >= 0) pages.back().push_back({heading, {}});
      }
    }
    for (const QString& piece : pieces) {
      if (static_cast<int>(pages.back().size()) >= linesPerPage) pages.emplace_back();  // longer than a page
      pages.back().push_back({static_cast<int>(i), piece});
    }
  }

  const int total = static_cast<int>(pages.size());
  for (int p = 0; p < total; ++p) {
    if (p > 0) printer.newPage();
    // Header.
    double y = 0;
    painter.setFont(titleFont);
    painter.drawText(QRectF(0, y, page.width(), titleMetrics.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quorvane  逐桩坐标表"));
    painter.setFont(headerFont);
    painter.drawText(QRectF(0, y, page.width(), titleMetrics.lineSpacing()), Qt::AlignRight | Qt::AlignVCenter,
                     date.toString(QStringLiteral("yyyy-MM-dd")));
    y += titleMetrics.lineSpacing();
    for (const QString& text : inputLines) {
      painter.drawText(QRectF(0, y, page.width(), headerMetrics.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter, text);
      y += headerMetrics.lineSpacing();
    }
    const double ruleY = y + headerMetrics.lineSpacing() / 2;
    painter.drawLine(QPointF(0, ruleY), QPointF(page.width(), ruleY));
    y = headerHeight;

    // Body.
    painter.setFont(layout.font());
    for (const PageLine& pageLine : pages[static_cast<std::size_t>(p)]) {
      const PrintLine& line = layout.lines()[static_cast<std::size_t>(pageLine.line)];
      if (line.table >= 0) {
        for (int c = 0; c < line.cols.size(); ++c) {
          const double x = layout.ColumnX(line.table, c);
          painter.drawText(QRectF(x, y, page.width() - x, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line.cols[c]);
        }
      } else {
        painter.drawText(QRectF(0, y, page.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, pageLine.piece);
      }
      y += lineHeight;
    }

    // Footer.
    painter.setFont(headerFont);
    painter.drawText(QRectF(0, page.height() - headerMetrics.lineSpacing(), page.width(), headerMetrics.lineSpacing()),
                     Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页 / 共 %2 页").arg(p + 1).arg(total));
  }
  painter.end();
  return total;
}

void ShowPrintPreview(QWidget* parent, const QString& resultText, const Calculation* last) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("逐桩坐标"));
  std::optional<Calculation> copy;
  if (last != nullptr) copy = *last;
  const QDate date = QDate::currentDate();
  QPrintPreviewDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("打印预览"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
    PrintResult(*target, resultText, copy ? &*copy : nullptr, date);
  });
  dialog.exec();
}

}  // namespace quorvane::ui
