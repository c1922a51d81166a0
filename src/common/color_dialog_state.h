// color.cld: what the main window's colour chooser remembers between runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/ini_file.h"

namespace orv {

inline constexpr char kColorDialogFile[] = "color.cld";

// Colours are 0x00BBGGRR, red in the lowest byte.
struct ColorDialogState {
  uint32_t color = 0;
  bool full_open = true;
  std::array<uint32_t, 16> custom_colors{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                         0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                         0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                         0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  bool operator==(const ColorDialogState&) const = default;
};

std::string SerializeColorDialogState(const ColorDialogState& state);

// Restores what it can; values that are missing or damaged keep `base`.
ColorDialogState ParseColorDialogState(std::string_view bytes, const ColorDialogState& base);
ColorDialogState ReadColorDialogState(const IniFile& file, const ColorDialogState& base);

}  // namespace orv
