#include "io/landxml_points.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <stdexcept>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "report/line_text.h"

namespace quorvane {
namespace {

// Bytes collected before they go to the file: large enough that a write
// call costs nothing per point, small enough not to matter.
constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr double kLargest_m = 1e12;
constexpr std::string_view kClosingTag = "</LandXML>";

}  // namespace

LandXmlPointsWriter::LandXmlPointsWriter(const std::string& path, std::string_view document, int decimals)
    : path_(path), file_(path), decimals_(decimals) {
  if (decimals < 0 || decimals > kMaxDecimals) throw std::invalid_argument("LandXmlPointsWriter: decimals");
  const std::size_t closing = document.rfind(kClosingTag);
  if (closing == std::string_view::npos) throw std::invalid_argument("LandXmlPointsWriter: no </LandXML>");
  descriptor_ = open(file_.TemporaryPath().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (descriptor_ < 0) throw FileError(FileErrorMessage(path_, errno));
  // The document up to its closing tag goes straight to the file; only the points pass
  // through the buffer.
  try {
    WriteAll(document.substr(0, closing));
  } catch (...) {
    close(descriptor_);  // the destructor does not run for a constructor that throws
    throw;
  }
  tail_ = "  </CgPoints>\n";
  tail_ += document.substr(closing);
  if (tail_.back() != '\n') tail_ += '\n';
  buffer_.reserve(kBufferBytes + 1024);
  buffer_ = "  <CgPoints>\n";
}

LandXmlPointsWriter::~LandXmlPointsWriter() {
  if (descriptor_ >= 0) close(descriptor_);
  // file_ discards the temporary unless Finish committed it.
}

void LandXmlPointsWriter::Flush() {
  WriteAll(buffer_);
  buffer_.clear();
}

void LandXmlPointsWriter::WriteAll(std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(descriptor_, p, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) {
      failed_ = true;
      throw FileError(FileErrorMessage(path_, errno));
    }
    p += written;
    left -= static_cast<std::size_t>(written);
  }
}

void LandXmlPointsWriter::PutEscaped(std::string_view text) {
  std::size_t plain = 0;  // start of the run of characters that need no escape
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const char* escape = nullptr;
    switch (c) {
      case '&':
        escape = "&amp;";
        break;
      case '<':
        escape = "&lt;";
        break;
      case '>':
        escape = "&gt;";
        break;
      case '"':
        escape = "&quot;";
        break;
      case '\t':
        escape = "&#9;";
        break;  // an attribute's whitespace would read back as a blank
      case '\n':
        escape = "&#10;";
        break;
      case '\r':
        escape = "&#13;";
        break;
      default:
        if (c < 0x20 || c == 0x7f) throw CalculationError(kPointNameControlCharacterPrompt);
        continue;
    }
    buffer_.append(text.substr(plain, i - plain));
    buffer_.append(escape);
    plain = i + 1;
  }
  buffer_.append(text.substr(plain));
}

void LandXmlPointsWriter::PutNumber(double value) { buffer_ += FixedText(value, decimals_); }

void LandXmlPointsWriter::Add(std::string_view name, std::string_view code, double north_m, double east_m,
                              std::optional<double> height_m) {
  if (failed_ || finished_) throw std::logic_error("LandXmlPointsWriter: Add after a failure or Finish");
  // Checked before anything is written, so a refused point leaves no half row.
  for (double value : {north_m, east_m, height_m.value_or(0)}) {
    if (!(std::abs(value) < kLargest_m)) {
      failed_ = true;
      throw CalculationError(kOverflowPrompt);
    }
  }
  const std::size_t rowStart = buffer_.size();
  try {
    buffer_ += "    <CgPoint name=\"";
    PutEscaped(name);
    buffer_ += "\" code=\"";
    PutEscaped(code);
    buffer_ += "\">";
    PutNumber(north_m);
    buffer_ += ' ';
    PutNumber(east_m);
    if (height_m) {
      buffer_ += ' ';
      PutNumber(*height_m);
    }
    buffer_ += "</CgPoint>\n";
  } catch (...) {
    buffer_.resize(rowStart);
    failed_ = true;
    throw;
  }
  ++count_;
  if (buffer_.size() >= kBufferBytes) Flush();
}

void LandXmlPointsWriter::Finish() {
  if (failed_ || finished_) throw std::logic_error("LandXmlPointsWriter: Finish after a failure or twice");
  buffer_ += tail_;
  Flush();
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (close(descriptor) != 0) {
    failed_ = true;
    throw FileError(FileErrorMessage(path_, errno));
  }
  file_.Commit();
  finished_ = true;
}

}  // namespace quorvane
