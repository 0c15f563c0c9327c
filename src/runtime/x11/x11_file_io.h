// Whole-file reads, replacements and locks for the settings files.
#pragma once

#include <string>

namespace vellomar::x11 {

struct FileRead {
  enum class State { Read, Missing, Unreadable };
  State state = State::Missing;
  std::string bytes;
};

FileRead ReadWholeFile(const std::string& path);

// Makes the folder and those above it that are missing, each the user's alone (0700), as the XDG
// base directories ask. False when one cannot be made.
bool MakeFolders(const std::string& folder);

// Replaces the file with the given bytes through a temporary file in the same folder (created
// when missing), synced and renamed over the old one: readers see the old file or the new one,
// never a part. The new file keeps the old one's mode and owner; a path that is a symbolic link
// stays one, and the file it leads to is replaced, from a temporary file in that file's folder.
// False, with the old file as it was and no temporary file left, when the file or its folder
// cannot be written, or its owner cannot be kept.
bool ReplaceFile(const std::string& path, const std::string& bytes);

// An exclusive lock on file + ".lock", the lock file made 0600 (with its folders) when missing
// and never removed, as another process may be waiting for it. Held from construction, once no
// other process holds it, until destruction; not held when the lock file cannot be opened.
class FileLock {
 public:
  explicit FileLock(const std::string& file);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace vellomar::x11
