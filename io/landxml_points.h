#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "io/atomic_file.h"

namespace quorvane {

// Points for a data collector: a LandXML 1.2 file holding the line's
// Alignments and, after them, its points as CgPoints:
//
//   <CgPoints>
//     <CgPoint name="K0+100.000" code="ZH">3381250.125 501230.750 12.345</CgPoint>
//     <CgPoint name="K0+120.000L" code="">3381262.004 501225.101</CgPoint>
//   </CgPoints>
//
// Each point is "north east" with the height after them when it has one,
// every number with the writer's decimals (FixedText of report/line_text.h);
// names and codes are written as given (UTF-8), escaped for XML (& < > " and
// tab, line feed and carriage return as character references, so that they
// read back unchanged). A code is always written, empty for an ordinary stake,
// as the coordinate data file has it.
//
// The points are streamed: each Add goes through a small fixed buffer to the
// temporary file of an AtomicFile, so memory does not grow with the number of
// points, and Finish puts the file in place. A writer destroyed without
// Finish (an exception on the way) leaves no file and an earlier file of
// that name as it was.
class LandXmlPointsWriter {
 public:
  // `document` is a complete LandXML document, such as LandXmlText of
  // io/landxml.h gives; the points are inserted before its closing
  // </LandXML>. `decimals` 0 .. kMaxDecimals. Throws FileError when the file
  // cannot be created, std::invalid_argument for a document without a
  // closing </LandXML> or decimals out of range (a fault of the caller).
  LandXmlPointsWriter(const std::string& path, std::string_view document, int decimals = 3);
  ~LandXmlPointsWriter();
  LandXmlPointsWriter(const LandXmlPointsWriter&) = delete;
  LandXmlPointsWriter& operator=(const LandXmlPointsWriter&) = delete;

  // One point. Throws CalculationError(kOverflowPrompt) for a coordinate or
  // height that is not finite or reaches 10^12 m, CalculationError
  // (kPointNameControlCharacterPrompt) for a name or code with a control
  // character XML cannot hold, FileError when the disk refuses the bytes.
  // After a throw the writer can only be destroyed (no file is left).
  void Add(std::string_view name, std::string_view code, double north_m, double east_m,
           std::optional<double> height_m = std::nullopt);

  // Closes the CgPoints and the document and replaces the file at `path`
  // (whole or not at all). Throws FileError.
  void Finish();

  std::size_t Count() const { return count_; }

 private:
  void PutEscaped(std::string_view text);
  void PutNumber(double value);
  void Flush();
  void WriteAll(std::string_view bytes);

  std::string path_;
  AtomicFile file_;
  int descriptor_ = -1;  // the temporary file, open for writing
  std::string buffer_;   // bytes not yet written, flushed when it passes a fixed size
  std::string tail_;     // what follows the points: the document after them
  int decimals_ = 3;
  std::size_t count_ = 0;
  bool failed_ = false;
  bool finished_ = false;
};

}  // namespace quorvane
