#include "common/color_dialog_state.h"

#include "common/ini_file.h"

namespace orv {

namespace {
constexpr char kSection[] = "ColorDialog";

std::string CustomKey(size_t i) { return "Color" + std::string(1, static_cast<char>('A' + i)); }
}  // namespace

std::string SerializeColorDialogState(const ColorDialogState& s) {
  IniFile f;
  f.WriteInteger(kSection, "Color", static_cast<int>(s.color & 0xFFFFFF));
  f.WriteBool(kSection, "FullOpen", s.full_open);
  for (size_t i = 0; i < s.custom_colors.size(); ++i) {
    f.WriteInteger(kSection, CustomKey(i), static_cast<int>(s.custom_colors[i] & 0xFFFFFF));
  }
  return f.Serialize();
}

ColorDialogState ParseColorDialogState(std::string_view bytes, const ColorDialogState& base) {
  return ReadColorDialogState(IniFile::Parse(bytes), base);
}

ColorDialogState ReadColorDialogState(const IniFile& f, const ColorDialogState& base) {
  auto color = [&](const std::string& key, uint32_t fallback) {
    const int v = f.ReadInteger(kSection, key, -1);
    return (v >= 0 && v <= 0xFFFFFF) ? static_cast<uint32_t>(v) : fallback;
  };
  ColorDialogState s = base;
  s.color = color("Color", base.color);
  s.full_open = f.ReadBool(kSection, "FullOpen", base.full_open);
  for (size_t i = 0; i < s.custom_colors.size(); ++i) {
    s.custom_colors[i] = color(CustomKey(i), base.custom_colors[i]);
  }
  return s;
}

}  // namespace orv
