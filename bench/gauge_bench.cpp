// What painting the address bar costs while a page loads: one frame of the
// field at 1000 pixels with a 200-character address and the load half done,
// as the toolkit asks for it (off-screen composition included). Aim: well
// under a millisecond, so the progress never slows the page it reports on.
//
// Two targets: a plain image surface, and a surface like the X window's,
// which is what the toolkit paints into on the screen.
//
// usage: xvfb-run -a build/gauge_bench

#include <benchmark/benchmark.h>
#include <gtkmm.h>

#include <string>

#include "widgets/gauge_edit_widget.h"

namespace {

constexpr int kWidth = 1000;

struct Field {
  Field() {
    window.set_default_size(kWidth, 30);
    window.set_decorated(false);
    window.add(edit);
    std::string address = "http://www.example.test/articles/2026/12/10/";
    while (address.size() < 200) address += "long-path-segment-";
    address.resize(200);
    edit.set_text(address);
    edit.SetMax(100);
    edit.SetPosition(50);
    window.show_all();
    while (edit.get_allocated_width() != kWidth || !edit.get_realized()) gtk_main_iteration();
    while (gtk_events_pending()) gtk_main_iteration();
  }
  Gtk::Window window;
  orv::TGaugeEdit edit;
};

Field& TheField() {
  static Field field;
  return field;
}

void Paint(benchmark::State& state, const Cairo::RefPtr<Cairo::Surface>& surface) {
  Field& field = TheField();
  auto cr = Cairo::Context::create(surface);
  for (auto _ : state) {
    gtk_widget_draw(GTK_WIDGET(field.edit.gobj()), cr->cobj());
    surface->flush();
  }
  state.counters["width"] = field.edit.get_allocated_width();
  state.counters["height"] = field.edit.get_allocated_height();
}

void BM_PaintToImage(benchmark::State& state) {
  Field& field = TheField();
  Paint(state, Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, kWidth,
                                           field.edit.get_allocated_height()));
}
BENCHMARK(BM_PaintToImage)->Unit(benchmark::kMicrosecond);

void BM_PaintToWindowSurface(benchmark::State& state) {
  Field& field = TheField();
  Paint(state, field.edit.get_window()->create_similar_surface(Cairo::CONTENT_COLOR, kWidth,
                                                               field.edit.get_allocated_height()));
}
BENCHMARK(BM_PaintToWindowSurface)->Unit(benchmark::kMicrosecond);

// A keystroke's worth of work: the model's edit and the frame that shows it.
void BM_TypeAndPaint(benchmark::State& state) {
  Field& field = TheField();
  auto surface = field.edit.get_window()->create_similar_surface(Cairo::CONTENT_COLOR, kWidth,
                                                                 field.edit.get_allocated_height());
  auto cr = Cairo::Context::create(surface);
  const Glib::ustring text = field.edit.get_text();
  for (auto _ : state) {
    field.edit.Model().SetCaret(100);
    field.edit.Model().Type("x");
    gtk_widget_draw(GTK_WIDGET(field.edit.gobj()), cr->cobj());
    surface->flush();
    state.PauseTiming();
    field.edit.set_text(text);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TypeAndPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  auto app =
      Gtk::Application::create(argc, argv, "org.orvindel.GaugeBench", Gio::APPLICATION_NON_UNIQUE);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
