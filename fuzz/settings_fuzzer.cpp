// libFuzzer target: every reader of a settings, language or notice file, on
// arbitrary bytes.
// Build and run with scripts/fuzz.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/ini_file.h"
#include "common/navigate_address.h"
#include "prefs/languages.h"
#include "prefs/update_notice.h"
#include "prefs/user_agents.h"
#include "shell/main_commands.h"
#include "common/color_dialog_state.h"
#include "shell/main_config.h"
#include "shell/window_geometry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  orv::IniFile ini = orv::IniFile::Parse(bytes);
  orv::MainConfig config = orv::ReadMainConfig(ini, {1280, 1024}, "");
  orv::WriteMainConfig(ini, config);
  const orv::IniFile again = orv::IniFile::Parse(ini.Serialize());
  (void)orv::ReadMainConfig(again, {1280, 1024}, "");
  (void)orv::ReadWindowGeometry(ini, {});
  (void)orv::ParseColorDialogState(bytes, {});
  (void)orv::SerializeUserAgentFile(orv::ParseUserAgentFile(bytes));
  (void)orv::NormalizeNavigateAddress(bytes, nullptr);
  // Language files, language lists and the update notice come from outside.
  for (const orv::CommandRow& row : orv::MainCommands()) (void)orv::CommandCaption(row, ini);
  for (const std::string& name : orv::ParseLanguageList(bytes)) {
    (void)orv::IsSafeLanguageName(name);
    (void)orv::InstalledLanguages({name});
  }
  (void)orv::ReadUpdateNotice(bytes);
  (void)orv::ParseShortcut(bytes);
  return 0;
}
