#pragma once

#include <optional>
#include <string_view>

namespace quorvane {

// Reads the number at the start of an input box's text, the way the
// calculation reads every box. Never fails and never reads outside `text`.
// Texts are UTF-8.
//
// Contract:
//  - Leading blanks (space, tab, CR, LF, the ideographic space U+3000) are
//    skipped.
//  - Then an optional sign ('-' or '+'), then digits with an optional '.'
//    decimal point and more digits ("12", "12.5", ".5", "12."), then an
//    optional exponent ("2.5e3", "1E-2"). The decimal point is always '.',
//    whatever the process locale.
//  - What a Chinese input method types reads as its ASCII twin: the
//    full-width digits U+FF10..U+FF19, the full-width full stop U+FF0E and
//    the ideographic full stop U+3002 as the point, the full-width minus
//    U+FF0D and plus U+FF0B ("－１８０。１" reads -180.1).
//  - The number ends at the first character that cannot continue it; the
//    rest is ignored ("10m" reads 10, "1 000" reads 1, "10,5" reads 10).
//    A blank between the sign and the digits ends the text ("- 5" reads 0).
//  - A text that holds no number there ("", "abc", "-", ".", "inf", "nan")
//    reads as 0.
//  - A number too large for a double reads as +/-infinity (the calculation
//    refuses it later); one too small for a double reads as 0 with its sign.
//  - Any bytes at all are accepted: invalid UTF-8, embedded NULs and very long
//    digit strings are read by the same rules.
double ReadNumber(std::string_view text);

// Whether ReadNumber takes all of `text`: one number with nothing but blanks
// around it. A text of blanks only (an empty box) counts as whole too, so that
// only texts that read as something else than they show ("10,5", "10m",
// "abc") are told apart.
bool IsWholeNumber(std::string_view text);

// The number when ReadNumber takes all of `text` and finds a number there:
// IsWholeNumber but not blanks only. Nothing otherwise ("", "10,5", "abc").
// Infinity for a number too large for a double, as ReadNumber reads it.
std::optional<double> ReadWholeNumber(std::string_view text);

// Whether `text` holds nothing but the blanks ReadNumber skips (the
// ideographic space among them): an empty box.
bool IsBlankText(std::string_view text);

// Reads a station as a surveyor types it: either a plain number (read as
// ReadNumber reads it) or chainage notation (桩号):
//  - leading blanks, then an optional prefix of one to three letters (K, DK,
//    ZK, YK, AK…, either case, full-width letters too), then the whole
//    kilometres with an optional sign, then "+" (or the full-width "＋"),
//    then the metres: digits with an optional decimal point and more digits;
//  - the value is kilometres x 1000 + metres, computed on the decimal digits
//    as typed, so "K1234+499.999" is the same double as "1234499.999";
//    "K1+000" is 1000, "ZK12+345.6" is 12345.6, "-1+985" is -15 (the form
//    the report prints for -15), "Ｋ０＋１８０．１０８" is 180.108;
//  - anything after the metres is ignored, as ReadNumber ignores what follows
//    a number ("K0+180.108m" reads 180.108).
// A text that is not in chainage notation reads exactly as ReadNumber reads
// it ("180.108" is 180.108, "abc" is 0).
double ReadStation(std::string_view text);

// Whether ReadStation takes all of `text` (blanks aside): a plain number or
// chainage notation with nothing after it. Blanks only count as whole.
bool IsWholeStation(std::string_view text);

}  // namespace quorvane
