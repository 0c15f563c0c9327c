#include "content/picture.h"

#include <vector>

#include "content/drift.h"
#include "content/stage.h"
#include "swf/display.h"

namespace movie {

void DefinePicture(Library& library, const std::vector<std::uint16_t>& glows, std::uint16_t halo) {
  // A minute a loop: no glow moves faster than about thirty pixels a second.
  constexpr int kFrames = 60 * kFramesPerSecond;
  const std::vector<Drift> drifts = {
      // shapes, centre, swing, cycles, phase, scale, breath, squash, spins, hue, cycles, alpha
      {glows, 200, 170, 150, 110, 1, 1, 0.00, 1.5, 0.15, 1.0, 0, 0.55, 1, 0.95},
      {glows, 440, 300, 170, 80, 1, 2, 0.31, 1.3, 0.20, 1.0, 0, 0.80, 1, 0.9},
      {glows, 340, 200, 110, 130, 2, 1, 0.62, 1.1, 0.25, 1.0, 0, 0.05, 2, 0.9},
      {glows, 320, 260, 220, 160, 1, 1, 0.47, 1.8, 0.10, 1.0, 0, 0.30, 1, 0.7},
      {glows, 420, 180, 190, 110, 1, 1, 0.83, 0.9, 0.30, 1.0, 0, 0.65, 2, 0.95},
      {{halo}, 320, 240, 40, 30, 1, 1, 0.10, 2.4, 0.08, 0.45, 1, 0.50, 1, 0.45},
      {{halo}, 320, 240, 30, 40, 1, 1, 0.55, 1.7, 0.12, 0.55, -1, 0.15, 1, 0.35},
  };
  const swf::Sprite sprite = DriftingSprite(drifts, kFrames);
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineSprite, sprite.DefineSprite(id));
  library.Export(id, kPictureSprite);
}

void DefinePreview(Library& library, const std::vector<std::uint16_t>& glows) {
  // Three large, brighter glows: at 152 x 112 pixels finer shapes and dim colours vanish.
  constexpr int kFrames = 30 * kFramesPerSecond;
  const std::vector<Drift> drifts = {
      {glows, 230, 200, 110, 80, 1, 1, 0.00, 1.8, 0.12, 1.0, 0, 0.55, 1, 1.0},
      {glows, 420, 290, 100, 60, 1, 2, 0.40, 1.6, 0.15, 1.0, 0, 0.90, 1, 1.0},
      {glows, 340, 230, 80, 90, 2, 1, 0.70, 1.3, 0.20, 1.0, 0, 0.20, 1, 1.0},
  };
  const swf::Sprite sprite = DriftingSprite(drifts, kFrames);
  const std::uint16_t id = library.NewId();
  library.Define(swf::TagCode::DefineSprite, sprite.DefineSprite(id));
  library.Export(id, kPreviewSprite);
}

}  // namespace movie
