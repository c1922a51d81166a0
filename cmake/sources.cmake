# Sources of each layer. A subsystem folder holds files of several layers:
# *_window.*, *_dialog.* and widgets/*_widget.* are user interface, the rest
# is core; platform/ and engine/ are their own layers.
set(ORV_CORE_SOURCES
  src/common/ini_file.cpp
  src/common/navigate_address.cpp
  src/common/text.cpp
  src/favorites/favorites_menu.cpp
  src/favorites/favorites_sort.cpp
  src/favorites/list_file.cpp
  src/pagetools/quick_search.cpp
  src/pagetools/search_engines.cpp
  src/pagetools/social_links.cpp
  src/prefs/user_agents.cpp
  src/shell/color_dialog_state.cpp
  src/shell/data_folders.cpp
  src/shell/main_config.cpp
  src/shell/page_captions.cpp
  src/shell/window_geometry.cpp
  src/widgets/page_ext_control.cpp
)

set(ORV_PLATFORM_SOURCES
  src/platform/deferred.cpp
  src/platform/error_report.cpp
  src/platform/files.cpp
  src/platform/folders.cpp
  src/platform/launcher.cpp
  src/platform/http_probe.cpp
  src/platform/main_loop.cpp
  src/platform/startup_steps.cpp
)

set(ORV_ENGINE_SOURCES
  src/engine/document_commands.cpp
  src/engine/find_dialog.cpp
  src/engine/web_browser.cpp
  src/engine/webkit_backend.cpp
)

set(ORV_UI_SOURCES
  src/app/app.cpp
  src/app/dialogs.cpp
  src/app/services.cpp
  src/favorites/add_favorite_dialog.cpp
  src/favorites/add_system_favorite_dialog.cpp
  src/favorites/favorite_entry_dialog.cpp
  src/favorites/favorites_menu_widget.cpp
  src/favorites/favorites_window.cpp
  src/favorites/list_file_dialog.cpp
  src/pagetools/quick_search_window.cpp
  src/pagetools/search_hint_window.cpp
  src/pagetools/social_bar_widget.cpp
  src/prefs/options_window.cpp
  src/shell/data_folder_dialog.cpp
  src/shell/main_window.cpp
  src/shell/redirect_notice_window.cpp
  src/widgets/gauge_edit_widget.cpp
  src/widgets/page_ext_control_widget.cpp
)
