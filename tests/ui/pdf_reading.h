#pragma once

// Printing to PDF and reading the pages back with pdftotext, for the window tests.
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace quorvane::ui::testing {

// pdftotext keeps or drops the blanks next to Chinese characters as it sees fit.
inline QString Squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

// pdftotext's reading of a PDF, one page or all (0): "-layout" for the text in its columns,
// "-bbox" for every word's box in points.
inline QString PdfText(const QString& pdf, const QString& mode = QStringLiteral("-layout"), int page = 0) {
  QStringList arguments{mode};
  if (page > 0) arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
  QProcess pdftotext;
  pdftotext.start(QStringLiteral(QUORVANE_PDFTOTEXT), arguments << pdf << QStringLiteral("-"));
  pdftotext.waitForFinished(30000);
  return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// A printer onto an A4 PDF in `dir`.
inline std::unique_ptr<QPrinter> PdfPrinter(const QTemporaryDir& dir) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(dir.filePath(QStringLiteral("table.pdf")));
  printer->setPageSize(QPageSize(QPageSize::A4));
  return printer;
}

}  // namespace quorvane::ui::testing
