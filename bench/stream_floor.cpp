// The floor the tool's streaming runs are measured against: the same number
// of CSV rows and columns written with std::to_chars, with one sine and one
// cosine a row and nothing else (no geometry, no rounding rules), in 64 KiB
// pieces to a file.
//
//   stream_floor ROWS COLUMNS FILE

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: stream_floor ROWS COLUMNS FILE\n", stderr);
    return 2;
  }
  const long rows = std::strtol(argv[1], nullptr, 10);
  const int columns = std::atoi(argv[2]);
  std::FILE* out = std::fopen(argv[3], "wb");
  if (out == nullptr) return 1;
  std::string buffer;
  buffer.reserve(1 << 17);
  char cell[64];
  double sum = 0;
  for (long i = 0; i < rows; ++i) {
    const double s = std::sin(i * 1e-3);
    const double c = std::cos(i * 1e-3);
    sum += s;
    for (int k = 0; k < columns; ++k) {
      const double value = 3381250.125 + i * c + k * s;
      const auto end = std::to_chars(cell, cell + sizeof cell, value, std::chars_format::fixed, 3).ptr;
      buffer.append(cell, end);
      buffer += k + 1 < columns ? ',' : '\r';
    }
    buffer += '\n';
    if (buffer.size() >= (1 << 16)) {
      std::fwrite(buffer.data(), 1, buffer.size(), out);
      buffer.clear();
    }
  }
  std::fwrite(buffer.data(), 1, buffer.size(), out);
  std::fclose(out);
  return sum == 12345.678 ? 1 : 0;  // keeps the sines
}
