// The input guard of the full-screen saver: a transparent top-most window over the movie that
// hides the cursor, takes all input and decides when the saver ends, with the password check of
// the consumer line.
#pragma once

#include <cstdint>

#include "runtime/form.h"
#include "runtime/program.h"

namespace vellomar {

class MainForm : public Form {
 public:
  explicit MainForm(Program& program);
  void Load() override;
  void QueryUnload(std::int16_t& cancel) override;
  void Unload() override;
  void KeyDown(std::int16_t keyCode, std::int16_t shift) override;
  void MouseDown() override;
  void MouseMove() override;
  void BeforeErrorReport() override;

 private:
  // On the consumer line with the desktop password on; read afresh from the program values.
  bool PasswordRuleHolds();
  void NotifySaverRunning(std::uint32_t running);
  void HideCursor();
  void RevealCursor();
  // Shows the cursor and withdraws the saver-running notice where the guard gave it.
  void RestoreSystem();
  // Asks the runtime to unload the guard; returns only when the close was refused.
  void Close();

  // Whole seconds since midnight at which the current counting window opened; 0: none open.
  std::int32_t MoveWindowStart = 0;
};

}  // namespace vellomar
