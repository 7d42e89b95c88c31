#pragma once

#include <string>
#include <string_view>

#include "calc/calculation_error.h"

namespace quorvane {

// A file could not be written. what() is the message the user sees: the
// file's own name and the cause in the user's words (磁盘空间不足,
// 没有写入权限, 文件夹不存在, …); never the name of a temporary file.
class FileError : public CalculationError {
 public:
  explicit FileError(const std::string& message) : CalculationError(message) {}
};

// Title of a message box that reports a FileError.

// Writes `bytes` as the whole content of the file at `path` (UTF-8 path).
// The bytes go to the temporary file of an AtomicFile in the same folder,
// are flushed to disk, and only then replace `path` by a rename, so a failure at any point leaves
// an earlier file of that name untouched and no temporary file behind.
// Throws FileError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// For writers that must produce the file themselves (a PDF printer, an image
// encoder writing to a path): the temporary path beside `path` to write to,
// and the step that checks it, flushes it to disk and renames it over
// `path`. Commit throws FileError (and removes the temporary) when the
// temporary is missing or empty or cannot be flushed or renamed; Discard
// removes it. The destructor discards a file neither committed nor
// discarded.
class AtomicFile {
 public:
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& TemporaryPath() const { return temporary_; }
  // An empty temporary is taken for a writer that failed unless told that
  // the content may be empty.
  enum class Content { NotEmpty, MayBeEmpty };
  void Commit(Content content = Content::NotEmpty);
  void Discard();

 private:
  std::string path_;
  std::string temporary_;
  bool done_ = false;
};

// Where text goes piece by piece: a file written whole or not at all, or
// the standard output of the command-line tool. Write throws FileError (or,
// for standard output, CalculationError) when the bytes cannot be written.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view bytes) = 0;
};

// A file written as it is computed, through an AtomicFile: the pieces go to
// the temporary file as they come (memory does not grow with the file), and
// Commit replaces `path` with it. A writer destroyed without Commit (an
// error on the way) leaves an earlier file of that name untouched and no
// temporary behind. Throws FileError.
class AtomicFileWriter : public TextSink {
 public:
  explicit AtomicFileWriter(std::string path);
  ~AtomicFileWriter() override;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::string_view bytes) override;
  void Commit();

 private:
  std::string path_;
  AtomicFile file_;
  int fd_ = -1;
};

// The user's words for an errno value from opening, writing or renaming.
std::string FileErrorCause(int errorNumber);

// The message of a FileError for `path` and an errno value:
// 无法保存文件“name”：cause.
std::string FileErrorMessage(const std::string& path, int errorNumber);

}  // namespace quorvane
