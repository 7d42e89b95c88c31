#include "ui/print_report.h"

#include <QAction>
#include <QBuffer>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>
#include <string_view>

#include "calc/messages.h"
#include "io/atomic_file.h"
#include "report/layout.h"
#include "report/number_text.h"
#include "ui/message_boxes.h"

namespace quorvane::ui {
namespace {

constexpr double kBodyPointSize = 9.5;
// The smallest size two table columns a page are set in; below it a table
// takes the whole width.
constexpr double kTwoColumnPointSize = 8.0;
constexpr double kSmallestPointSize = 5.0;
constexpr double kHeaderPointSize = 9.0;
constexpr double kTitlePointSize = 12.0;
constexpr double kMarginMm = 15.0;
// Blanks between the columns of a table, and between two table columns.
constexpr double kColumnGapChars = 2.0;
constexpr double kBandGapChars = 4.0;
// Below this the progress of a print or preview is not shown.
constexpr int kProgressDelayMs = 500;

QString Number(double value) { return QString::fromStdString(General(value)); }

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == QChar(0x3000); }

// The columns of a line as views into it: its runs of non-blank text.
using Cells = std::vector<QStringView>;
void SplitCells(QStringView line, Cells& cells) {
  cells.clear();
  qsizetype i = 0;
  const qsizetype n = line.size();
  while (i < n) {
    while (i < n && IsBlank(line[i])) ++i;
    const qsizetype start = i;
    while (i < n && !IsBlank(line[i])) ++i;
    if (i > start) cells.push_back(line.sliced(start, i - start));
  }
}

// The lines of a text, whatever its line ends; a last line end ends the
// last line rather than starting an empty one.
QStringList Lines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  for (const QChar c : {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)}) {
    text.replace(c, QChar(u'\n'));
  }
  if (text.endsWith(u'\n')) text.chop(1);
  return text.isEmpty() ? QStringList() : text.split(QChar(u'\n'));
}

// The header's two lines of a curve's input values.
QStringList CurveLines(const BoxReading& c) {
  const CurveInput& in = c.input;
  auto radius = [](double r) { return r == 0 ? QStringLiteral("0（直线）") : Number(r); };
  const QString turn = in.turn > 0 ? QStringLiteral("右转") : in.turn < 0 ? QStringLiteral("左转")
                                                                         : QStringLiteral("未选（直线）");
  const QString gap = QString::fromUtf8(kColumnGap.data(), static_cast<qsizetype>(kColumnGap.size()));
  return {QStringLiteral("起点桩号 ") + QString::fromStdString(c.lbText) + gap + QStringLiteral("终点桩号 ") +
              QString::fromStdString(c.leText) + gap + QStringLiteral("起点半径 ") + radius(in.Ra) + gap +
              QStringLiteral("终点半径 ") + radius(in.Rb),
          QStringLiteral("起点 X ") + QString::fromStdString(Fixed3(in.Xa)) + gap + QStringLiteral("Y ") +
              QString::fromStdString(Fixed3(in.Ya)) + gap + QStringLiteral("起点方位角 ") +
              QString::fromStdString(c.aText) + gap + QStringLiteral("桩距 ") + Number(in.d) + gap +
              QStringLiteral("转向 ") + turn};
}

QFont BodyFont(double pointSize) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // Fixed-width Latin first, then a fixed-width CJK face for the headings.
  font.setFamilies({font.family(), QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("Noto Sans Mono CJK SC")});
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSizeF(pointSize);
  return font;
}

// Text widths in one font on one device; in a fixed-width face a run of
// ASCII is its length times one advance, without asking the font engine.
class Widths {
 public:
  Widths(const QFont& font, QPaintDevice* device) : metrics_(font, device) {
    advance_ = metrics_.horizontalAdvance(QChar(u'0'));
    const QString probe = QStringLiteral("0123456789.+-Kk");
    fixed_ = std::fabs(metrics_.horizontalAdvance(probe) - probe.size() * advance_) < 1e-6 * advance_ * probe.size();
  }
  double operator()(QStringView text) const {
    if (fixed_ && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
      return static_cast<double>(text.size()) * advance_;
    return metrics_.horizontalAdvance(text.toString());
  }
  double advance() const { return advance_; }
  bool fixed() const { return fixed_; }
  // In a fixed-width face, `width` rounded up to whole characters, so that
  // every column starts on a character's edge.
  double Whole(double width) const {
    return fixed_ ? std::ceil(width / advance_ - 1e-6) * advance_ : width;
  }
  const QFontMetricsF& metrics() const { return metrics_; }

 private:
  QFontMetricsF metrics_;
  double advance_ = 0;
  bool fixed_ = false;
};

// The part of a number before its decimal point (all of it without one).
qsizetype IntegerLength(QStringView cell) {
  const qsizetype point = cell.indexOf(u'.');
  return point < 0 ? cell.size() : point;
}

// A report that prints as a table: its heading and the geometry of its
// columns within one table column of the page.
struct Table {
  const AppendedReport* report = nullptr;
  QStringList heading;
  std::vector<double> integer;   // per column, the widest part before the point
  std::vector<double> x;         // left edge of each column
  double width = 0;              // of one table column
  int bands = 1;                 // table columns side by side
};

enum class Kind { kText, kCurve, kRows };

// One item of the text flow, in the order of the box.
struct Item {
  Kind kind;
  int table;              // the report table it belongs to, -1 for none
  QString text;           // kText
  QStringList rows;       // kRows: consecutive rows of `table`
};

// An item placed on a page, `y` from the top of the body.
struct Placed {
  int item;
  double y;
  QString piece;           // kText: the wrapped piece
  qsizetype first = 0;     // kRows: first row,
  qsizetype perBand = 0;   // rows a table column,
  qsizetype count = 0;     // rows in all
};

struct Page {
  int table = -1;          // the report the header names
  bool continued = false;  // that report began on an earlier page
  std::vector<Placed> placed;
};

// The report tables and the text flow of the box's pieces. The lines of a
// report are matched in order against the text it was appended as: what
// matches is the report's own (its title, heading, rows, end line), any
// other line was typed in and prints plain.
void BuildFlow(const std::vector<BoxPiece>& pieces, std::vector<Table>& tables, std::vector<Item>& items) {
  for (const BoxPiece& piece : pieces) {
    const QStringList lines = Lines(piece.text);
    // Untouched, every line is the report's own; else each is looked up.
    const bool untouched = piece.report != nullptr && piece.text == piece.report->text;
    QStringList own;
    if (piece.report != nullptr) own = untouched ? lines : Lines(piece.report->text);
    // A table by its layout, with at least one row between its heading and
    // what follows the rows.
    const TableLayout* layout = piece.report != nullptr ? piece.report->table : nullptr;
    const qsizetype firstRow = static_cast<qsizetype>(kHeadingLine) + 1;
    const qsizetype rowsEnd = layout != nullptr ? own.size() - static_cast<qsizetype>(layout->linesAfterRows) : 0;
    if (rowsEnd <= firstRow) {
      for (const QString& line : lines) items.push_back({Kind::kText, -1, line, {}});
      continue;
    }
    const int t = static_cast<int>(tables.size());
    Table table;
    table.report = piece.report.get();
    for (const QString& cell : SplitColumns(own[kHeadingLine])) table.heading << cell;
    tables.push_back(std::move(table));
    QHash<QString, qsizetype> index;
    if (!untouched) {
      for (qsizetype i = own.size(); i-- > 0;) index.insert(own[i], i);  // the first of equal lines
    }
    items.push_back({Kind::kCurve, t, {}, {}});
    qsizetype next = 0;
    for (qsizetype at = 0; at < lines.size(); ++at) {
      const QString& line = lines[at];
      qsizetype i = at;
      if (!untouched) {
        const auto found = index.constFind(line);
        i = found != index.constEnd() && *found >= next ? *found : -1;
      }
      if (i >= 0) next = i + 1;
      if (i == static_cast<qsizetype>(kHeadingLine)) continue;  // the heading goes with every run of rows
      if (i >= firstRow && i < rowsEnd) {
        if (items.back().kind != Kind::kRows) items.push_back({Kind::kRows, t, {}, {}});
        items.back().rows << line;
      } else {
        items.push_back({Kind::kText, t, line, {}});
      }
    }
  }
  // Blank lines at the very end are not worth a page.
  while (!items.empty() && items.back().kind == Kind::kText && items.back().text.trimmed().isEmpty()) items.pop_back();
}

// Column geometry of every table at the widths given.
void MeasureTables(std::vector<Table>& tables, const std::vector<Item>& items, const Widths& width) {
  std::vector<std::vector<double>> fraction(tables.size());
  std::vector<std::vector<double>> headingWidth(tables.size());
  for (std::size_t t = 0; t < tables.size(); ++t) {
    tables[t].integer.assign(static_cast<std::size_t>(tables[t].heading.size()), 0);
    fraction[t].assign(tables[t].integer.size(), 0);
    for (const QString& cell : tables[t].heading) headingWidth[t].push_back(width.Whole(width(cell)));
  }
  Cells cells;
  for (const Item& item : items) {
    if (item.kind != Kind::kRows) continue;
    const auto t = static_cast<std::size_t>(item.table);
    auto& integer = tables[t].integer;
    auto& frac = fraction[t];
    for (const QString& row : item.rows) {
      SplitCells(row, cells);
      if (cells.size() > integer.size()) {
        integer.resize(cells.size(), 0);
        frac.resize(cells.size(), 0);
      }
      for (std::size_t c = 0; c < cells.size(); ++c) {
        const qsizetype n = IntegerLength(cells[c]);
        integer[c] = std::max(integer[c], width(cells[c].first(n)));
        frac[c] = std::max(frac[c], width(cells[c].sliced(n)));
      }
    }
  }
  const double gap = kColumnGapChars * width.advance();
  for (std::size_t t = 0; t < tables.size(); ++t) {
    Table& table = tables[t];
    headingWidth[t].resize(table.integer.size(), 0);
    table.x.clear();
    double x = 0;
    for (std::size_t c = 0; c < table.integer.size(); ++c) {
      table.x.push_back(x);
      x += std::max(headingWidth[t][c], table.integer[c] + fraction[t][c]) + gap;
    }
    table.width = std::max(0.0, x - gap);
  }
}

class Document {
 public:
  Document(const std::vector<BoxPiece>& pieces, QPaintDevice* device, QSizeF body) : device_(device), body_(body) {
    BuildFlow(pieces, tables_, items_);
    titleFont_.setPointSizeF(kTitlePointSize);
    titleFont_.setBold(true);
    headerFont_.setPointSizeF(kHeaderPointSize);
    ChooseFont();
    const QFontMetricsF header(headerFont_, device);
    headerLine_ = header.lineSpacing();
    titleLine_ = QFontMetricsF(titleFont_, device).lineSpacing();
    headerHeight_ = titleLine_ + 2.6 * headerLine_;
    footerHeight_ = 2 * headerLine_;
    curveHeight_ = 0.6 * line_ + 2 * headerLine_ + 0.3 * line_;
    Paginate();
  }

  int PageCount() const { return static_cast<int>(pages_.size()); }

  void PaintPage(QPainter& painter, int p, int total, const QDate& date) const {
    const Page& page = pages_[static_cast<std::size_t>(p)];
    const double w = body_.width();
    // Header: the program, the date, the values of the curve the page is of.
    painter.setFont(titleFont_);
    painter.drawText(QRectF(0, 0, w, titleLine_), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quorvane  逐桩坐标表"));
    painter.setFont(headerFont_);
    painter.drawText(QRectF(0, 0, w, titleLine_), Qt::AlignRight | Qt::AlignVCenter,
                     date.toString(QStringLiteral("yyyy-MM-dd")));
    if (page.table >= 0) DrawCurve(painter, page.table, titleLine_, page.continued);
    const double ruleY = titleLine_ + 2.3 * headerLine_;
    painter.drawLine(QPointF(0, ruleY), QPointF(w, ruleY));

    const double top = headerHeight_;
    const double ascent = QFontMetricsF(bodyFont_, device_).ascent();
    Cells cells;
    for (const Placed& placed : page.placed) {
      const Item& item = items_[static_cast<std::size_t>(placed.item)];
      const double y = top + placed.y;
      if (item.kind == Kind::kCurve) {
        painter.setFont(headerFont_);
        painter.drawLine(QPointF(0, y + 0.3 * line_), QPointF(w, y + 0.3 * line_));
        DrawCurve(painter, item.table, y + 0.6 * line_, false);
        continue;
      }
      painter.setFont(bodyFont_);
      if (item.kind == Kind::kText) {
        painter.drawText(QPointF(0, y + ascent), placed.piece);
        continue;
      }
      const Table& table = tables_[static_cast<std::size_t>(item.table)];
      const double bandStep = width_->Whole(table.width) + kBandGapChars * width_->advance();
      for (int band = 0; band < table.bands; ++band) {
        const qsizetype from = placed.first + band * placed.perBand;
        const qsizetype to = std::min(placed.first + placed.count, from + placed.perBand);
        if (from >= to) break;
        const double left = band * bandStep;
        for (qsizetype c = 0; c < table.heading.size(); ++c) {
          painter.drawText(QPointF(left + table.x[static_cast<std::size_t>(c)], y + ascent), table.heading[c]);
        }
        double rowY = y + line_;
        for (qsizetype r = from; r < to; ++r, rowY += line_) {
          SplitCells(item.rows[r], cells);
          if (width_->fixed()) {
            // One run of text a row, the cells put in place with blanks:
            // the columns start on character edges.
            QString text;
            for (std::size_t c = 0; c < cells.size() && c < table.x.size(); ++c) {
              const auto at = static_cast<qsizetype>(
                  std::lround((table.x[c] + table.integer[c]) / width_->advance()) - IntegerLength(cells[c]));
              text.append(QString(std::max<qsizetype>(at - text.size(), text.isEmpty() ? 0 : 1), u' '));
              text.append(cells[c]);
            }
            painter.drawText(QPointF(left, rowY + ascent), text);
            continue;
          }
          for (std::size_t c = 0; c < cells.size() && c < table.x.size(); ++c) {
            // Decimal points under one another.
            const double x = left + table.x[c] + table.integer[c] - (*width_)(cells[c].first(IntegerLength(cells[c])));
            painter.drawText(QPointF(x, rowY + ascent), cells[c].toString());
          }
        }
      }
    }

    painter.setFont(headerFont_);
    painter.drawText(QRectF(0, body_.height() - headerLine_, w, headerLine_), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页 / 共 %2 页").arg(p + 1).arg(total));
  }

 private:
  void DrawCurve(QPainter& painter, int t, double y, bool continued) const {
    painter.setFont(headerFont_);
    const QStringList lines = CurveLines(tables_[static_cast<std::size_t>(t)].report->curve);
    for (const QString& text : lines) {
      painter.drawText(QRectF(0, y, body_.width(), headerLine_), Qt::AlignLeft | Qt::AlignVCenter, text);
      y += headerLine_;
    }
    if (continued) {
      painter.drawText(QRectF(0, y - 2 * headerLine_, body_.width(), headerLine_), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("（续前页）"));
    }
  }

  // One body font for the whole print: as large as lets every table fit,
  // two table columns wide where they fit at kTwoColumnPointSize or more.
  void ChooseFont() {
    const double width = body_.width();
    auto measure = [&](double size) {
      bodyFont_ = BodyFont(size);
      width_.emplace(bodyFont_, device_);
      MeasureTables(tables_, items_, *width_);
    };
    measure(kBodyPointSize);
    double size = kBodyPointSize;
    const double bandGap = kBandGapChars * width_->advance();
    for (Table& table : tables_) {
      const double two = 2 * table.width + bandGap;
      table.bands = two * kTwoColumnPointSize / kBodyPointSize <= width ? 2 : 1;
      const double needed = table.bands == 2 ? two : table.width;
      if (needed > 0) size = std::min(size, kBodyPointSize * width / needed);
    }
    size = std::max(kSmallestPointSize, std::floor(size * 10) / 10);
    if (size != kBodyPointSize) measure(size);
    for (Table& table : tables_) {
      if (table.bands == 2 && 2 * table.width + kBandGapChars * width_->advance() > width) table.bands = 1;
    }
    line_ = width_->metrics().lineSpacing();
  }

  QStringList Wrap(const QString& text) const {
    QStringList pieces;
    QString piece;
    for (const QChar c : text) {
      if (!piece.isEmpty() && (*width_)(QString(piece + c)) > body_.width()) {
        pieces << piece;
        piece.clear();
      }
      piece += c;
    }
    pieces << piece;
    return pieces;
  }

  // Pages of whole lines: a report's values and its first lines stay
  // together, a wrapped line stays on one page where it fits, rows fill the
  // left table column, then the right, and the last rows of a table are
  // shared out evenly between the two.
  void Paginate() {
    const double bottom = body_.height() - headerHeight_ - footerHeight_;
    std::vector<bool> begun(tables_.size(), false);
    pages_.emplace_back();
    double y = 0;
    auto breakPage = [&](int table) {
      pages_.emplace_back();
      y = 0;
      pages_.back().table = table;
      pages_.back().continued = table >= 0 && begun[static_cast<std::size_t>(table)];
    };
    for (std::size_t k = 0; k < items_.size(); ++k) {
      const Item& item = items_[k];
      const int at = static_cast<int>(k);
      switch (item.kind) {
        case Kind::kCurve:
          if (y > 0 && bottom - y < curveHeight_ + 3 * line_) breakPage(-1);
          begun[static_cast<std::size_t>(item.table)] = true;
          if (y == 0) {  // at the top of a page the page header names it
            pages_.back().table = item.table;
            pages_.back().continued = false;
          } else {
            pages_.back().placed.push_back({at, y, {}});
            y += curveHeight_;
          }
          break;
        case Kind::kText: {
          const QStringList pieces = Wrap(item.text);
          if (y > 0 && y + pieces.size() * line_ > bottom) breakPage(item.table);
          for (const QString& piece : pieces) {
            if (y > 0 && y + line_ > bottom) breakPage(item.table);
            pages_.back().placed.push_back({at, y, piece});
            y += line_;
          }
          break;
        }
        case Kind::kRows: {
          const int bands = tables_[static_cast<std::size_t>(item.table)].bands;
          qsizetype first = 0;
          while (first < item.rows.size()) {
            auto perBand = static_cast<qsizetype>(std::floor((bottom - y) / line_)) - 1;  // below the heading
            if (perBand < 1 && y > 0) {
              breakPage(item.table);
              continue;
            }
            perBand = std::max<qsizetype>(perBand, 1);
            const qsizetype left = item.rows.size() - first;
            if (left <= perBand * bands) perBand = (left + bands - 1) / bands;
            const qsizetype count = std::min(left, perBand * bands);
            pages_.back().placed.push_back({at, y, {}, first, perBand, count});
            y += static_cast<double>(perBand + 1) * line_;
            first += count;
          }
          break;
        }
      }
    }
  }

  QPaintDevice* device_;
  QSizeF body_;
  std::vector<Table> tables_;
  std::vector<Item> items_;
  std::vector<Page> pages_;
  QFont titleFont_;
  QFont headerFont_;
  QFont bodyFont_;
  std::optional<Widths> width_;
  double line_ = 0;
  double titleLine_ = 0;
  double headerLine_ = 0;
  double headerHeight_ = 0;
  double footerHeight_ = 0;
  double curveHeight_ = 0;
};

// The rectangle the pages are laid out in, in the painter's coordinates:
// the printer's printable area, kept at least kMarginMm from the paper's edges.
QRectF BodyRect(const QPagedPaintDevice& device) {
  const int dpi = device.logicalDpiX();
  const QPageLayout layout = device.pageLayout();
  const QRectF paper = layout.fullRectPixels(dpi).toRectF();
  const QRectF paint = layout.paintRectPixels(dpi).toRectF();
  const double margin = kMarginMm / 25.4 * dpi;
  const QRectF body = paint.intersected(paper.adjusted(margin, margin, -margin, -margin));
  return body.translated(-paint.topLeft());
}

}  // namespace

QStringList SplitColumns(const QString& line) {
  Cells cells;
  SplitCells(line, cells);
  QStringList columns;
  for (const QStringView cell : cells) columns << cell.toString();
  return columns;
}

PaintedPages PaintPages(QPagedPaintDevice& device, const std::vector<BoxPiece>& pieces, const QDate& date,
                        const PrintProgress& progress, int fromPage, int toPage) {
  PaintedPages done;
  QPainter painter;
  if (!painter.begin(&device)) return done;
  const QRectF body = BodyRect(device);
  const Document document(pieces, &device, body.size());
  const int total = document.PageCount();
  const int first = fromPage > 0 ? std::min(fromPage, total) : 1;
  const int last = toPage > 0 ? std::clamp(toPage, first, total) : total;
  painter.translate(body.topLeft());
  for (int p = first - 1; p < last; ++p) {
    if (p > first - 1) device.newPage();
    document.PaintPage(painter, p, total, date);
    ++done.pages;
    if (progress && !progress(done.pages, last - first + 1)) {
      done.cancelled = p + 1 < last;
      break;
    }
  }
  painter.end();
  return done;
}

namespace {

// A progress box over `parent` that shows once the work takes a while.
class Progress {
 public:
  explicit Progress(QWidget* parent)
      : box_(QStringLiteral("正在排版打印页…"), QStringLiteral("取消"), 0, 1, parent) {
    box_.setWindowTitle(QStringLiteral("打印"));
    box_.setWindowModality(Qt::WindowModal);
    box_.setMinimumDuration(kProgressDelayMs);
    box_.setAutoClose(false);
    box_.setAutoReset(false);
    box_.setValue(0);
  }
  PrintProgress Step() {
    return [this](int done, int total) {
      box_.setMaximum(total);
      box_.setLabelText(QStringLiteral("正在排版打印页：第 %1 页 / 共 %2 页").arg(done).arg(total));
      box_.setValue(done);
      return !box_.wasCanceled();
    };
  }

 private:
  QProgressDialog box_;
};

}  // namespace

bool PrintPieces(QWidget* parent, QPrinter& printer, const std::vector<BoxPiece>& pieces, MessageBoxes& boxes,
                 const QDate& date) {
  Progress progress(parent);
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    const QString path = printer.outputFileName();
    if (path.isEmpty()) return false;
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    PaintedPages painted;
    {
      QPdfWriter pdf(&bytes);
      pdf.setPageLayout(printer.pageLayout());
      pdf.setResolution(printer.resolution());
      pdf.setCreator(QStringLiteral("Quorvane"));
      pdf.setTitle(printer.docName());
      painted = PaintPages(pdf, pieces, date, progress.Step(), printer.fromPage(), printer.toPage());
    }
    if (painted.cancelled) return false;
    try {
      if (painted.pages == 0) throw FileError(FileErrorMessage(QFile::encodeName(path).toStdString(), EIO));
      const QByteArray& data = bytes.data();
      WriteFileAtomically(QFile::encodeName(path).toStdString(),
                          std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    } catch (const FileError& error) {
      boxes.Inform(parent, QString::fromUtf8(error.what()), QString::fromUtf8(kFileErrorTitle));
      return false;
    }
    return true;
  }
  const PaintedPages painted = PaintPages(printer, pieces, date, progress.Step(), printer.fromPage(), printer.toPage());
  if (painted.cancelled) {
    printer.abort();
    return false;
  }
  if (painted.pages == 0 || printer.printerState() == QPrinter::Error) {
    boxes.Inform(parent, QString::fromUtf8(kPrinterUnavailablePattern).arg(printer.printerName()),
                 QString::fromUtf8(kPrintFailedTitle));
    return false;
  }
  return true;
}

namespace {

class PreviewDialog : public QDialog {
 public:
  PreviewDialog(QWidget* parent, std::vector<BoxPiece> pieces, MessageBoxes& boxes)
      : QDialog(parent), printer_(QPrinter::HighResolution), pieces_(std::move(pieces)), boxes_(boxes),
        date_(QDate::currentDate()) {
    setWindowTitle(QStringLiteral("打印预览"));
    printer_.setDocName(QStringLiteral("逐桩坐标"));
    printer_.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
    view_ = new QPrintPreviewWidget(&printer_, this);
    view_->setZoomMode(QPrintPreviewWidget::FitToWidth);
    connect(view_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* target) { Paint(*target); });

    auto* tools = new QToolBar(this);
    tools->addAction(QStringLiteral("打印…"), this, [this] { Print(); });
    tools->addSeparator();
    tools->addAction(QStringLiteral("适合宽度"), view_, [this] { view_->fitToWidth(); });
    tools->addAction(QStringLiteral("整页"), view_, [this] { view_->fitInView(); });
    tools->addAction(QStringLiteral("放大"), view_, [this] { view_->zoomIn(); });
    tools->addAction(QStringLiteral("缩小"), view_, [this] { view_->zoomOut(); });
    tools->addSeparator();
    tools->addAction(QStringLiteral("上一页"), view_, [this] { view_->setCurrentPage(view_->currentPage() - 1); });
    tools->addAction(QStringLiteral("下一页"), view_, [this] { view_->setCurrentPage(view_->currentPage() + 1); });
    tools->addSeparator();
    tools->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(view_);

    // Tall enough for most of a page, as wide as makes its text readable.
    const QRect screen = (parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(std::min(screen.width() * 9 / 10, 960), screen.height() * 9 / 10);
  }

 private:
  void Paint(QPrinter& target) {
    Progress progress(this);
    if (PaintPages(target, pieces_, date_, progress.Step()).cancelled) QTimer::singleShot(0, this, &QDialog::reject);
  }

  void Print() {
    QPrintDialog dialog(&printer_, this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() != QDialog::Accepted) return;
    if (PrintPieces(this, printer_, pieces_, boxes_, date_)) accept();
  }

  QPrinter printer_;
  std::vector<BoxPiece> pieces_;
  MessageBoxes& boxes_;
  QDate date_;
  QPrintPreviewWidget* view_ = nullptr;
};

}  // namespace

void ShowPrintPreview(QWidget* parent, std::vector<BoxPiece> pieces, MessageBoxes& boxes) {
  PreviewDialog dialog(parent, std::move(pieces), boxes);
  dialog.exec();
}

}  // namespace quorvane::ui
