#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quorvane::ui {

// The clock's text for `when`: the locale's short date, a blank and its long
// time. The long time is the time with seconds as the locale writes it, without
// the time-zone name that Qt's long time format adds (nor the brackets round
// it), and with Qt's AM/PM for the day period Qt cannot write.
QString ClockText(const QDateTime& when, const QLocale& locale);

}  // namespace quorvane::ui
