#include "io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

namespace quorvane {
namespace {

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A hidden name beside the target that no other writer uses: the target's
// own name after a dot, then a unique suffix (mkstemp's pattern).
std::string TemporaryPattern(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return folder + "." + BaseName(path) + ".XXXXXX";
}

// Creates the temporary file with the permissions a plain creat() would give.
int CreateTemporary(std::string& pathInOut) {
  std::vector<char> name(pathInOut.begin(), pathInOut.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return fd;
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  pathInOut.assign(name.data());
  return fd;
}

[[noreturn]] void Fail(const std::string& path, int errorNumber) {
  throw FileError(FileErrorMessage(path, errorNumber));
}

}  // namespace

std::string FileErrorCause(int errorNumber) {
  switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
      return "磁盘空间不足";
    case EACCES:
    case EPERM:
      return "没有写入权限";
    case EROFS:
      return "磁盘只读，不能写入";
    case ENOENT:
    case ENOTDIR:
      return "文件夹不存在";
    case EISDIR:
      return "同名的文件夹已存在";
    case ENAMETOOLONG:
      return "文件名太长";
    case EIO:
      return "磁盘读写出错";
    default:
      return "系统错误（错误号 " + std::to_string(errorNumber) + "）";
  }
}

std::string FileErrorMessage(const std::string& path, int errorNumber) {
  return "无法保存文件“" + BaseName(path) + "”：" + FileErrorCause(errorNumber) + "。";
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), temporary_(TemporaryPattern(path_)) {
  // Reserve the name now, so two writers never share it.
  const int fd = CreateTemporary(temporary_);
  if (fd < 0) Fail(path_, errno);
  close(fd);
}

AtomicFile::~AtomicFile() {
  if (!done_) Discard();
}

void AtomicFile::Discard() {
  std::remove(temporary_.c_str());
  done_ = true;
}

void AtomicFile::Commit(Content content) {
  struct stat info {};
  if (stat(temporary_.c_str(), &info) != 0) {
    const int error = errno;
    Discard();
    Fail(path_, error);
  }
  if (info.st_size == 0 && content == Content::NotEmpty) {
    Discard();
    Fail(path_, EIO);
  }
  // The writer closed the file; flush it before it replaces the target.
  const int fd = open(temporary_.c_str(), O_RDONLY);
  if (fd >= 0) {
    const bool synced = fsync(fd) == 0;
    const int error = errno;
    close(fd);
    if (!synced) {
      Discard();
      Fail(path_, error);
    }
  }
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    Discard();
    Fail(path_, error);
  }
  done_ = true;
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)), file_(path_) {
  fd_ = open(file_.TemporaryPath().c_str(), O_WRONLY | O_TRUNC);
  if (fd_ < 0) Fail(path_, errno);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) close(fd_);
}

void AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) Fail(path_, EBADF);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd_, p, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) Fail(path_, errno);
    p += written;
    left -= static_cast<std::size_t>(written);
  }
}

void AtomicFileWriter::Commit() {
  const int fd = std::exchange(fd_, -1);
  if (fd < 0 || close(fd) != 0) Fail(path_, fd < 0 ? EBADF : errno);
  file_.Commit(AtomicFile::Content::MayBeEmpty);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter file(path);  // discards the temporary on any failure below
  file.Write(bytes);
  file.Commit();
}

}  // namespace quorvane
