#include "platform/desktop_integration.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <filesystem>

#include "common/text.h"
#include "platform/files.h"

namespace orv {

namespace {

// A desktop entry's Exec value: each argument quoted, with the characters
// the format reserves inside quotes escaped.
std::string QuotedExecArgument(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::vector<std::string> BrowserContentTypes() {
  // .html and .htm are both text/html; the archive is one type.
  return {"x-scheme-handler/http", "x-scheme-handler/https", "text/html",
          "application/x-mimearchive"};
}

std::string DesktopEntryText(const std::string& exe) {
  std::string exec = QuotedExecArgument(exe);
  // "%" starts a field code: a literal one is doubled.
  std::string escaped;
  for (char c : exec) {
    escaped += c;
    if (c == '%') escaped += '%';
  }
  std::string types;
  for (const std::string& type : BrowserContentTypes()) types += type + ";";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=Orvindel\n"
         "GenericName=Web Browser\n"
         "Comment=Browse the World Wide Web\n"
         "Exec=" + escaped + " %U\n"
         "Icon=orvindel\n"
         "Terminal=false\n"
         "Categories=Network;WebBrowser;\n"
         "MimeType=" + types + "\n"
         "StartupNotify=true\n";
}

bool RegisterAsDefaultBrowser(const std::string& exe) {
  GDesktopAppInfo* info = g_desktop_app_info_new(kDesktopId);
  if (!info) {
    // Not installed: an entry of the user's own, for this executable.
    const std::string folder = std::string(g_get_user_data_dir()) + "/applications";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    try {
      WriteFileAtomic(folder + "/" + kDesktopId, DesktopEntryText(exe));
    } catch (const std::exception&) {
      return false;
    }
    info = g_desktop_app_info_new_from_filename((folder + "/" + kDesktopId).c_str());
    if (!info) return false;
  }
  bool all = true;
  for (const std::string& type : BrowserContentTypes()) {
    GError* error = nullptr;
    if (!g_app_info_set_as_default_for_type(G_APP_INFO(info), type.c_str(), &error)) all = false;
    g_clear_error(&error);
  }
  g_object_unref(info);
  return all;
}

bool IsDefaultBrowser() {
  GAppInfo* info = g_app_info_get_default_for_uri_scheme("http");
  if (!info) return false;
  std::string names;
  if (const char* id = g_app_info_get_id(info)) names += id;
  names += " ";
  if (const char* command = g_app_info_get_commandline(info)) names += command;
  g_object_unref(info);
  return AsciiLower(names).find("orvindel") != std::string::npos;
}

}  // namespace orv
