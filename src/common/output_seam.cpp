#include "common/output_seam.h"

#include <cstdio>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qtk {
namespace {

class SystemFile : public OutputHandle {
 public:
  explicit SystemFile(std::FILE* file) : file_(file) {}
  ~SystemFile() override {
    if (file_ != nullptr)
      std::fclose(file_);
  }
  std::FILE* get() const { return file_; }
  std::FILE* release() { return std::exchange(file_, nullptr); }

 private:
  std::FILE* file_;
};

std::FILE* FileOf(OutputHandle& file) {
  return static_cast<SystemFile&>(file).get();
}

std::FILE* CreateExclusively(const std::filesystem::path& path) {
#ifdef _WIN32
  const int fd =
      _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0)
    return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr)
    _close(fd);
  return file;
#else
  // "x": the file is created here and now; an existing file (or a link planted under the
  // name) is never opened.
  return std::fopen(path.c_str(), "wbx");
#endif
}

class SystemSeam : public OutputSeam {
 public:
  std::unique_ptr<OutputHandle> Open(const std::filesystem::path& path) override {
    std::FILE* file = CreateExclusively(path);
    if (file == nullptr)
      return nullptr;
    return std::make_unique<SystemFile>(file);
  }

  bool Write(OutputHandle& file, const uint8_t* data, size_t size) override {
    return size == 0 || std::fwrite(data, 1, size, FileOf(file)) == size;
  }

  bool Flush(OutputHandle& file) override {
    if (std::fflush(FileOf(file)) != 0)
      return false;
#ifdef __linux__
    // Starts the write to the disk now, so that it runs while the program goes on; the sync
    // later only waits for what is left. A refusal changes nothing: the sync still writes.
    sync_file_range(fileno(FileOf(file)), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    return true;
  }

  bool Sync(OutputHandle& file) override {
#ifdef _WIN32
    return _commit(_fileno(FileOf(file))) == 0;
#else
    return fsync(fileno(FileOf(file))) == 0;
#endif
  }

  bool Close(std::unique_ptr<OutputHandle> file) override {
    std::FILE* f = static_cast<SystemFile&>(*file).release();
    return std::fclose(f) == 0;
  }

  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
#ifdef _WIN32
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
  }

  bool Remove(const std::filesystem::path& path) override {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return !ec;
  }

  bool SyncFolder(const std::filesystem::path& folder) override {
#ifdef _WIN32
    // MOVEFILE_WRITE_THROUGH has already waited for the rename to reach the disk.
    (void)folder;
    return true;
#else
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
      return false;
    const bool synced = fsync(fd) == 0;
    ::close(fd);
    return synced;
#endif
  }
};

OutputSeam* g_current = nullptr;

}  // namespace

const char* OutputCallName(OutputCall call) {
  switch (call) {
    case OutputCall::kOpen:
      return "open";
    case OutputCall::kWrite:
      return "write";
    case OutputCall::kFlush:
      return "flush";
    case OutputCall::kSync:
      return "sync";
    case OutputCall::kClose:
      return "close";
    case OutputCall::kRename:
      return "rename";
    case OutputCall::kRemove:
      return "remove";
  }
  return "?";
}

OutputSeam& SystemOutputSeam() {
  static SystemSeam seam;
  return seam;
}

OutputSeam& CurrentOutputSeam() {
  return g_current != nullptr ? *g_current : SystemOutputSeam();
}

ScopedOutputSeam::ScopedOutputSeam(OutputSeam& seam) : previous_(g_current) {
  g_current = &seam;
}

ScopedOutputSeam::~ScopedOutputSeam() {
  g_current = previous_;
}

}  // namespace qtk
