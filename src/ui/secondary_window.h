// Common ground of the windows the App creates after the main window: each
// is created once at start-up, hidden, and only shown and hidden afterwards.
#pragma once

#include <gtkmm.h>

#include <optional>
#include <string>

namespace orv {

class App;
struct Services;

enum class ModalResult { kOk, kCancel };

class SecondaryWindow : public Gtk::Window {
 public:
  SecondaryWindow(App& app, Services& services, const std::string& name,
                  const std::string& caption)
      : app_(app), services_(services) {
    set_name(name);
    set_title(caption);
  }

  // Shows the window over `parent` and waits, with the program's events
  // still running, until EndModal closes it. The close box, Escape and the
  // end of the program count as Cancel, and so does asking a window that is
  // already showing.
  ModalResult ShowModal(Gtk::Window* parent);
  // Closes a window that ShowModal is waiting on with `result`.
  void EndModal(ModalResult result);
  bool Showing() const { return showing_; }

 protected:
  App& app() { return app_; }
  Services& services() { return services_; }
  // Makes this a dialog of a fixed size, without a taskbar entry, centred
  // on the screen.
  void FixedDialog();
  // Runs just before a modal showing.
  virtual void BeforeShow() {}
  // Runs once the window is up, before the wait for EndModal begins.
  virtual void AfterShow() {}
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;

 private:
  App& app_;
  Services& services_;
  bool showing_ = false;
  std::optional<ModalResult> result_;
};

}  // namespace orv
