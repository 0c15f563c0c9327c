#include "runtime/x11/x11_file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

namespace vellomar::x11 {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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

// The file at the end of the path's symbolic links, which a save must replace to keep the links;
// the path itself when it is no link. Empty when the links go round.
std::optional<std::string> FileBehindLinks(std::string path) {
  constexpr int kMostLinks = 40;  // as many as the kernel follows
  for (int link = 0; link < kMostLinks; ++link) {
    std::error_code noLink;  // not a link, or nothing there yet: the path is the file
    const std::filesystem::path target = std::filesystem::read_symlink(path, noLink);
    if (noLink) return path;
    path = target.is_absolute() ? target.string()
                                : (std::filesystem::path(path).parent_path() / target).string();
  }
  return std::nullopt;
}

// Gives the new file the old one's owner, then its mode (a change of owner may clear set-id
// bits); a file new to the folder keeps mkostemp's 0600.
bool TakeOwnerAndMode(int fd, const std::string& file) {
  struct stat old {};
  if (::stat(file.c_str(), &old) != 0) return errno == ENOENT;
  return ::fchown(fd, old.st_uid, old.st_gid) == 0 && ::fchmod(fd, old.st_mode & 07777) == 0;
}

// The rename itself outlives a crash only once the folder is synced.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool MakeFolders(const std::string& folder) {
  for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
    if (::mkdir(folder.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) return true;
  }
}

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
  const auto file = FileBehindLinks(path);
  if (!file) return false;
  // A rename would go over a read-only file, so its mode is honoured here.
  if (::access(file->c_str(), W_OK) != 0 && errno != ENOENT) return false;
  const std::string folder = FolderOf(*file);
  if (!MakeFolders(folder)) return false;
  std::string temporary = *file + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool written = TakeOwnerAndMode(fd, *file) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.c_str(), file->c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

FileLock::FileLock(const std::string& file) {
  const std::string lockFile = file + ".lock";
  if (!MakeFolders(FolderOf(lockFile))) return;
  const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  int locked = 0;
  while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (locked == 0) {
    fd_ = fd;
  } else {
    ::close(fd);
  }
}

FileLock::~FileLock() {
  if (Held()) ::close(fd_);
}

}  // namespace vellomar::x11
