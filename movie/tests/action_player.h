// A small AVM1 player for the movie's tests: it runs the root frame's script and button actions
// the way a Flash player does for the actions it knows (variables, members, attachMovie on the
// root, comparisons, branches, getURL, stop), keeps the clips they create with the instances,
// texts and buttons of their first frame, and refuses any action it does not know.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "swf_reader.h"

namespace swf_test {

struct Clip;
using Value = std::variant<std::monostate, bool, double, std::string, std::shared_ptr<Clip>>;

struct Clip {
  struct Text {
    Bounds area;  // pixels on the clip
    std::string variable, text;
  };
  struct Button {
    std::uint16_t depth;
    Bounds hitArea;  // pixels on the clip
    Bytes onRelease;
  };
  std::string sprite;                     // export name it was attached from; empty for the root
  std::map<std::string, Value> members;   // variables and child instances
  std::vector<Text> texts;
  std::vector<Button> buttons;
  std::vector<std::pair<std::string, std::string>> attached;  // sprite and instance, in order
};

class ActionPlayer {
 public:
  explicit ActionPlayer(const SwfFile& file);

  // Sets the root variables (as flashvars do) and runs the first frame's script.
  void Start(const std::map<std::string, std::string>& variables);
  // A click released over the point: the topmost button of the clip there runs its actions.
  void Click(const std::shared_ptr<Clip>& clip, int x, int y);
  // What the clip's text field covering the point shows.
  std::string TextAt(const Clip& clip, int x, int y) const;

  std::shared_ptr<Clip> Root() const { return root_; }
  bool Stopped() const { return stopped_; }
  // getURL calls: URL and target, in order.
  const std::vector<std::pair<std::string, std::string>>& Urls() const { return urls_; }

 private:
  void Run(const Bytes& actions, const std::shared_ptr<Clip>& scope);
  Value Attach(const std::shared_ptr<Clip>& parent, const std::string& sprite,
               const std::string& instance);

  std::map<std::string, std::uint16_t> exports_;
  std::map<std::uint16_t, Tag> definitions_;
  Bytes firstFrame_;
  std::shared_ptr<Clip> root_;
  bool stopped_ = false;
  std::vector<std::pair<std::string, std::string>> urls_;
};

std::string ToText(const Value& value);

}  // namespace swf_test
