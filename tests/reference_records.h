// The records of a reference file written by an mpmath model (line/ and
// cross_section/reference.py): a record a line, its kind and then its fields
// separated by spaces; '#' begins a comment line. A number is read to the
// nearest double, as the compiler reads the same digits in a literal.
#pragma once

#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/line.h"

namespace quorvane {

struct ReferenceRecord {
  std::string kind;
  std::vector<std::string> fields;

  double Number(std::size_t i) const {
    const std::string& text = fields.at(i);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) throw std::runtime_error("not a number: " + text);
    return value;
  }
  // type length start-radius end-radius turn; a straight's radii are inf.
  ElementSpec Element() const {
    const std::string& type = fields.at(0);
    if (type != "Straight" && type != "Arc" && type != "Spiral") throw std::runtime_error("no element type " + type);
    return {type == "Arc"      ? ElementType::Arc
            : type == "Spiral" ? ElementType::Spiral
                               : ElementType::Straight,
            Number(1), Number(2), Number(3), static_cast<int>(Number(4))};
  }
};

// The record a line's or a table's records belong to.
template <class T>
T& Last(std::vector<T>& records) {
  if (records.empty()) throw std::runtime_error("a record before the one it belongs to");
  return records.back();
}

inline std::vector<ReferenceRecord> ReadReferenceRecords(const char* path) {
  std::ifstream file(path);
  std::vector<ReferenceRecord> records;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    ReferenceRecord& record = records.emplace_back();
    words >> record.kind;
    for (std::string word; words >> word;) record.fields.push_back(word);
  }
  if (records.empty()) throw std::runtime_error(std::string("no records in ") + path);
  return records;
}

}  // namespace quorvane
