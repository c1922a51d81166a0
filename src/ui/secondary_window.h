// Common ground of the windows the App creates after the main window: each
// is created once at start-up, hidden, and only shown and hidden afterwards.
#pragma once

#include <gtkmm.h>

#include <string>

namespace orv {

class App;
struct Services;

class SecondaryWindow : public Gtk::Window {
 public:
  SecondaryWindow(App& app, Services& services, const std::string& name,
                  const std::string& caption)
      : app_(app), services_(services) {
    set_name(name);
    set_title(caption);
  }

 protected:
  App& app() { return app_; }
  Services& services() { return services_; }

 private:
  App& app_;
  Services& services_;
};

}  // namespace orv
