#include "widgets/gauge_edit_widget.h"

#include <algorithm>
#include <cstdio>

namespace orv {

TGaugeEdit::TGaugeEdit() : css_(Gtk::CssProvider::create()) {
  get_style_context()->add_provider(css_, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
  SetEndColor(end_color_);
}

void TGaugeEdit::SetPosition(int position) {
  position_ = position;
  UpdateFill();
}

void TGaugeEdit::SetMax(int max) {
  max_ = max;
  UpdateFill();
}

void TGaugeEdit::SetEndColor(uint32_t color) {
  end_color_ = color & 0xFFFFFF;
  char css[256];
  // The theme draws entry progress as a thin line; here it fills the whole
  // text area behind the address.
  std::snprintf(css, sizeof css,
                "progress { margin: 0; padding: 0; border: none; border-radius: 0;"
                " box-shadow: none; background-color: transparent;"
                " background-image: linear-gradient(to right, rgba(255,255,255,0), rgb(%u,%u,%u)); }",
                end_color_ & 0xFF, (end_color_ >> 8) & 0xFF, (end_color_ >> 16) & 0xFF);
  css_->load_from_data(css);
}

void TGaugeEdit::UpdateFill() {
  const double fraction =
      max_ > 0 && position_ > 0 ? std::min(1.0, static_cast<double>(position_) / max_) : 0.0;
  set_progress_fraction(fraction);
}

}  // namespace orv
