#include "shell/transparent_dialog.h"

#include "app/app.h"
#include "shell/main_window.h"
#include "shell/transparency.h"

namespace orv {

Tftransparent::Tftransparent(App& app, Services& services)
    : SecondaryWindow(app, services, "Tftransparent", "Transparent"),
      Label1("Transparent value", Gtk::ALIGN_START),
      TrackBar1(Gtk::ORIENTATION_HORIZONTAL),
      BitBtn1("_OK", true),
      BitBtn2("_Cancel", true),
      box_(Gtk::ORIENTATION_VERTICAL, 8) {
  FixedDialog();
  set_border_width(12);
  TrackBar1.set_range(0, kTrackBarMax);
  TrackBar1.set_increments(1, 10);
  TrackBar1.set_digits(0);
  TrackBar1.set_draw_value(false);
  TrackBar1.set_size_request(300, -1);
  // Tick marks every 10, on both sides.
  for (int tick = 0; tick <= kTrackBarMax; tick += 10) {
    TrackBar1.add_mark(tick, Gtk::POS_TOP, "");
    TrackBar1.add_mark(tick, Gtk::POS_BOTTOM, "");
  }
  buttons_.set_layout(Gtk::BUTTONBOX_END);
  buttons_.set_spacing(6);
  buttons_.pack_start(BitBtn1);
  buttons_.pack_start(BitBtn2);
  box_.pack_start(Label1, Gtk::PACK_SHRINK);
  box_.pack_start(TrackBar1, Gtk::PACK_SHRINK);
  box_.pack_start(buttons_, Gtk::PACK_SHRINK);
  add(box_);
  box_.show_all();
  TrackBar1.signal_value_changed().connect([this] {
    if (changed_) changed_(static_cast<int>(TrackBar1.get_value()));
  });
  BitBtn1.signal_clicked().connect([this] { EndModal(ModalResult::kOk); });
  BitBtn2.signal_clicked().connect([this] { EndModal(ModalResult::kCancel); });
}

ModalResult Tftransparent::Execute(int position, std::function<void(int)> changed) {
  changed_ = nullptr;
  TrackBar1.set_value(position);
  changed_ = std::move(changed);
  const ModalResult result = ShowModal(&app().MainForm());
  changed_ = nullptr;
  return result;
}

}  // namespace orv
