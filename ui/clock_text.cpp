#include "ui/clock_text.h"

namespace quorvane::ui {
namespace {

// Drops the time-zone field ("t") of a Qt time format, with the brackets
// some locales put round it, leaving quoted literals alone: "h:mm:ss AP t"
// gives "h:mm:ss AP", Hong Kong's "APh:mm:ss [t]" "APh:mm:ss". Taiwan's
// format carries CLDR's day period "B", which Qt does not know and would
// print as a letter: it becomes Qt's AM/PM ("Bh:mm:ss" shows 下午2:05:09).
QString WithoutZone(const QString& format) {
  QString kept;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u't') continue;
    if (!quoted && c == u'B') {
      kept += QStringLiteral("AP");
      continue;
    }
    kept += c;
  }
  kept.remove(QStringLiteral("[]"));
  kept.remove(QStringLiteral("()"));
  return kept.trimmed();
}

}  // namespace

QString ClockText(const QDateTime& when, const QLocale& locale) {
  return locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
         locale.toString(when.time(), WithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

}  // namespace quorvane::ui
