#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// Text files come from Windows tools on Chinese systems as often as from
// anywhere else: these turn their bytes into UTF-8, the one encoding the
// program works in. Conversions go through the C library's iconv.

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view bytes);

// The bytes of an XML document in UTF-8, without a byte-order mark: the
// encoding is the one its byte-order mark names (UTF-8, UTF-16 LE or BE),
// else UTF-16 recognised by "<" followed or preceded by a zero byte, else the
// declaration's encoding="…" (UTF-8, UTF-16, GB2312, GBK, GB18030; GB2312 and
// GBK are read as GB18030, which holds them both), else UTF-8. The
// declaration itself is left as it is. Throws CalculationError naming
// `fileName` for an encoding it does not know or bytes that are not in it.
std::string XmlBytesToUtf8(std::string_view bytes, const std::string& fileName);

// The bytes of a CSV file in UTF-8, without a byte-order mark: UTF-8 with or
// without one, UTF-16 LE or BE with one, or else GB18030 (what Excel saves on
// a Chinese system) when the bytes are not UTF-8. Throws CalculationError
// naming `fileName` when they are none of these.
std::string CsvBytesToUtf8(std::string_view bytes, const std::string& fileName);

}  // namespace quorvane
