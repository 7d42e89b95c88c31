#pragma once

#include <string>

namespace quorvane {

// Number-to-text rules of the report. All of them write '.' as the decimal
// point whatever the process locale, never use an exponent, never group
// digits, and never write a negative zero ("-0", "-0.000"). They expect finite
// values; the stake computation lets no other through.

// Each rule appends its text to `out`.

// Exactly three decimals and at least one digit before the point: the value's
// 15-significant-digit decimal form rounded at the third decimal, halves away
// from zero (2.6755 -> "2.676", -0.0005 -> "-0.001", 0.0004 -> "0.000").
void AppendFixed3(std::string& out, double value);

// Rounded to 15 significant digits, written in plain decimal notation, zeros at
// the end of the decimals and a bare point removed; a zero before the point
// for values between -1 and 1 ("0.5426", "-0.5"); a minus sign for negative
// values, nothing for the others.
void AppendGeneral(std::string& out, double value);

// As AppendGeneral, with one blank in place of the sign for a value that is
// not negative (" 18.1344", "-12.5", " 0").
void AppendSigned(std::string& out, double value);

// A coordinate column of a stake row: the AppendFixed3 text read back as a
// number and written by AppendSigned, so the zeros at the end of the three
// decimals go (4040974.4096 -> " 4040974.41").
void AppendSignedFixed3(std::string& out, double value);

// A station as kilometres "+" metres, K + "+" + (s - K*1000) with K the
// largest whole number not above s/1000. The station is rounded once, to 15
// significant digits but no more than 12 decimals, and then split, so the
// metres always lie in 0 <= m < 1000 and the noise of k*d never prints
// (190 -> "0+190", 1005 -> "1+5", 2000 -> "2+0", -10 -> "-1+990",
// 62999.99999999999 -> "63+0", 123456.70000000001 -> "123+456.7"). The metres
// are not padded. Stations of 2^64 m and more (far beyond anything the
// calculation lets through) print their kilometres to 15 significant digits.
void AppendStation(std::string& out, double station_m);

// The same texts as strings, for the export files, the plan view and the
// printed page.
std::string Fixed3(double value);
std::string General(double value);
std::string Station(double station_m);

}  // namespace quorvane
