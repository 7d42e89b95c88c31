#include "io/read_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "calc/calculation_error.h"

namespace quorvane {

std::string ReadWholeFile(const std::string& path) {
  const auto fail = [&](const std::string& cause) -> std::string {
    throw CalculationError("无法读取文件“" + path + "”：" + cause);
  };
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) fail("这是一个文件夹");
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int error = errno;
    fail(error == ENOENT ? "文件不存在" : error == EACCES ? "没有读取权限" : std::strerror(error));
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) fail("读取出错");
  return text;
}

}  // namespace quorvane
