#include "ui/clock_text.h"

namespace quorvane::ui {
namespace {

// Drops the time-zone field ("t") of a Qt time format, leaving quoted literals
// alone: "h:mm:ss AP t" gives "h:mm:ss AP".
QString WithoutZone(const QString& format) {
  QString kept;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u't') continue;
    kept += c;
  }
  return kept.trimmed();
}

}  // namespace

QString ClockText(const QDateTime& when, const QLocale& locale) {
  return locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
         locale.toString(when.time(), WithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

}  // namespace quorvane::ui
