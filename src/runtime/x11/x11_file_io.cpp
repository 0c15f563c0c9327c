#include "runtime/x11/x11_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace vellomar::x11 {

namespace {

namespace fs = std::filesystem;

// The file a chain of symbolic links ends at (which may not exist yet), so that replacing it
// keeps the links. At most as many links as the kernel follows; beyond, opening fails anyway.
std::string FinalTarget(const std::string& path) {
  constexpr int kMaxLinks = 40;
  fs::path file = path;
  std::error_code error;
  for (int link = 0; link < kMaxLinks && fs::is_symlink(file, error); ++link) {
    const fs::path target = fs::read_symlink(file, error);
    if (error) break;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file.string();
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeFolders(const std::string& folder) {
  for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
    if (::mkdir(folder.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) return true;
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// The rename itself outlives a crash only once the folder is synced.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileRead ReadWholeFile(const std::string& path) {
  FileRead result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.state = errno == ENOENT || errno == ENOTDIR ? FileRead::State::Missing
                                                       : FileRead::State::Unreadable;
    return result;
  }
  result.state = FileRead::State::Read;
  char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) result.state = FileRead::State::Unreadable;
    if (got <= 0) break;
    result.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return result;
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string file = FinalTarget(path);
  // A rename would go over a read-only file, so its mode is honoured here.
  if (::access(file.c_str(), W_OK) != 0 && errno != ENOENT) return false;
  struct stat old {};
  const bool replacing = ::stat(file.c_str(), &old) == 0;
  const std::string folder = FolderOf(file);
  if (!MakeFolders(folder)) return false;
  std::string temporary = file + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool written = (!replacing || ::fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, bytes) &&
                 ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace vellomar::x11
