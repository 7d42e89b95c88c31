#pragma once

#include <string>

namespace quorvane {

// The whole content of the file at `path` (UTF-8 path), read as bytes.
// Throws CalculationError: 无法读取文件“path”：cause (文件不存在,
// 没有读取权限, 这是一个文件夹, …).
std::string ReadWholeFile(const std::string& path);

}  // namespace quorvane
