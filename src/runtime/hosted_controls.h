// The controls the forms host, as every backend must provide them: ProgIDs and the dispatch ids
// of the members the forms use.
#pragma once

#include <cstdint>

namespace vellomar {

// The movie player: Movie is a property; SetVariable and Play are methods; FSCommand is its event.
inline constexpr char kFlashProgId[] = "ShockwaveFlash.ShockwaveFlash";
inline constexpr std::int32_t kDispMovie = 102;
inline constexpr std::int32_t kDispSetVariable = 151;
inline constexpr std::int32_t kDispPlay = 112;
inline constexpr std::int32_t kDispFsCommand = 150;

// The web browser of the purchase page: AddressBar is a property; Navigate is a method.
inline constexpr char kBrowserProgId[] = "Shell.Explorer.2";
inline constexpr std::int32_t kDispAddressBar = 555;
inline constexpr std::int32_t kDispNavigate = 104;

}  // namespace vellomar
