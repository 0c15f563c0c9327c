// The movie-player control as the windows use it: placement, Movie, SetVariable, Play and the
// FSCommand event, over the control's dispatch interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/controls.h"
#include "runtime/hosted_controls.h"

namespace vellomar {

// The right-click menu is on in the full-screen movie and off elsewhere.
enum class MovieMenu { On, Off };

class FlashControl {
 public:
  using CommandHandler = std::function<void(const std::string& command, const std::string& args)>;

  // Raises when the control cannot be created.
  FlashControl(Form& owner, Hwnd host, const Placement& placement, MovieMenu menu,
               CommandHandler onCommand = {});

  void SetLeft(std::int32_t twips) { control_.SetLeft(twips); }
  void SetTop(std::int32_t twips) { control_.SetTop(twips); }
  void SetWidth(std::int32_t twips) { control_.SetWidth(twips); }
  void SetHeight(std::int32_t twips) { control_.SetHeight(twips); }
  void SetMovie(const std::string& file);
  void SetVariable(const std::string& name, const std::string& value);
  void Play();

 private:
  HostedControl control_;
};

}  // namespace vellomar
