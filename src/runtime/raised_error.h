// A failure: a raised error with a number and a description. Guarded handlers log the
// description; anywhere else it ends the program through the runtime error report.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vellomar {

class RaisedError : public std::runtime_error {
 public:
  RaisedError(std::int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  std::int32_t number() const { return number_; }
  std::string description() const { return what(); }

 private:
  std::int32_t number_;
};

// Error numbers the program raises itself.
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrOutOfMemory = 7;
inline constexpr std::int32_t kErrInternal = 51;
inline constexpr std::int32_t kErrFileNotFound = 53;
inline constexpr std::int32_t kErrCannotCreateObject = 429;
inline constexpr std::int32_t kErrAutomation = 440;

}  // namespace vellomar
