#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// Number-to-text rules of the report. All of them write '.' as the decimal
// point whatever the process locale, never use an exponent, never group
// digits, and never write a negative zero ("-0", "-0.000"). They expect finite
// values; the stake computation lets no other through.

// Exactly three decimals and at least one digit before the point: the value's
// 15-significant-digit decimal form rounded at the third decimal, halves away
// from zero (2.6755 -> "2.676", -0.0005 -> "-0.001", 0.0004 -> "0.000").
std::string Fixed3(double value);

// Rounded to 15 significant digits, written in plain decimal notation, zeros at
// the end of the decimals and a bare point removed; a zero before the point
// for values between -1 and 1 ("0.5426", "-0.5"); a minus sign for negative
// values, nothing for the others.
std::string General(double value);

// As General, with one blank in place of the sign for a value that is not
// negative (" 18.1344", "-12.5", " 0").
std::string Signed(double value);

// A coordinate column of a stake row: the Fixed3 text read back as a number
// and written by Signed, so the zeros at the end of the three decimals go
// (4040974.4096 -> " 4040974.41").
std::string SignedFixed3(double value);

// A station as kilometres "+" metres: General(K) + "+" + General(s - K*1000)
// with K the largest integer not above s/1000. The metres are not padded
// (190 -> "0+190", 1005 -> "1+5", 2000 -> "2+0", -10 -> "-1+990"), and they
// keep no more decimals than the station's 15 significant digits hold, so the
// noise of the subtraction never prints (123456.7 -> "123+456.7").
std::string Station(double station_m);

// Appends the same texts to `out`, without building a temporary string.
void AppendFixed3(std::string& out, double value);
void AppendGeneral(std::string& out, double value);
void AppendSigned(std::string& out, double value);
void AppendSignedFixed3(std::string& out, double value);
void AppendStation(std::string& out, double station_m);

}  // namespace quorvane
