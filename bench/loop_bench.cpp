// The waiting loop's two promises, measured: a probe of a slow server leaves
// the main loop free to run everything else on time, and an idle wait costs
// no CPU.
//
//   1. orv::ProbeAddress asks an in-process server on 127.0.0.1 that holds
//      its answer (200) for two seconds. Meanwhile a 10 ms timer records when
//      it fires; the largest gap between two ticks is how long the window
//      would have been frozen. Ticks every 10 ms mean no freeze; a blocking
//      probe would show one gap of two seconds.
//   2. orv::WaitUntil on a condition that never comes true, for two seconds,
//      with nothing else on the loop. The process CPU time (user + system)
//      spent over that span shows whether the wait sleeps or spins.
//
// Exit status: 0 when both measurements ran (the figures are for reading,
// not for passing), 1 when the set-up failed (no server, or the probe did
// not reach it).

#include <glib.h>
#include <libsoup/soup.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/http_probe.h"
#include "platform/main_loop.h"

namespace {

constexpr guint kHoldAnswerMs = 2000;
constexpr guint kTickMs = 10;
constexpr int kIdleWaitMs = 2000;
constexpr double kAimMaxGapMs = 50;
constexpr double kAimIdleCpuMs = 50;

double NowMs() { return static_cast<double>(g_get_monotonic_time()) / 1000.0; }

double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Holds every request for kHoldAnswerMs, then answers 200 with a short body.
// The hold runs on a main-loop timer, so the probe and the ticks share the
// one thread with the server, as they would share it with the window.
void HoldThenAnswer(SoupServer*, SoupServerMessage* message, const char*, GHashTable*, gpointer) {
  soup_server_message_pause(message);
  g_object_ref(message);
  g_timeout_add(kHoldAnswerMs, [](gpointer data) -> gboolean {
    auto* held = static_cast<SoupServerMessage*>(data);
    static const char body[] = "late but fine\n";
    soup_server_message_set_status(held, SOUP_STATUS_OK, nullptr);
    soup_server_message_set_response(held, "text/plain", SOUP_MEMORY_STATIC, body, sizeof body - 1);
    soup_server_message_unpause(held);
    g_object_unref(held);
    return G_SOURCE_REMOVE;
  }, message);
}

struct Ticks {
  std::vector<double> at;  // ms, monotonic
};

gboolean OnTick(gpointer data) {
  static_cast<Ticks*>(data)->at.push_back(NowMs());
  return G_SOURCE_CONTINUE;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main() {
  SoupServer* server = soup_server_new(nullptr, nullptr);
  soup_server_add_handler(server, nullptr, HoldThenAnswer, nullptr, nullptr);
  GError* error = nullptr;
  if (!soup_server_listen_local(server, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
    std::fprintf(stderr, "loop_bench: cannot listen on 127.0.0.1: %s\n",
                 error ? error->message : "?");
    g_clear_error(&error);
    g_object_unref(server);
    return 1;
  }
  GSList* uris = soup_server_get_uris(server);
  const int port = g_uri_get_port(static_cast<GUri*>(uris->data));
  g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/slow";

  // 1. Ticks while the probe waits for the held answer.
  Ticks ticks;
  const double probe_start = NowMs();
  ticks.at.push_back(probe_start);
  const guint tick_source = g_timeout_add(kTickMs, OnTick, &ticks);
  const bool reachable = orv::ProbeAddress(url);
  const double probe_ms = NowMs() - probe_start;
  ticks.at.push_back(NowMs());
  g_source_remove(tick_source);

  double max_gap = 0;
  for (size_t i = 1; i < ticks.at.size(); ++i)
    max_gap = std::max(max_gap, ticks.at[i] - ticks.at[i - 1]);
  const size_t tick_count = ticks.at.size() - 2;
  const double expected_ticks = probe_ms / kTickMs;

  // Let the probe's late clean-up (the closed connection, the server's side
  // of it) run now, so it is not counted against the idle wait.
  orv::WaitUntil([] { return false; }, 200);
  orv::ProcessPendingEvents();

  // 2. CPU time of an idle wait.
  const double cpu_before = CpuMs();
  const double wait_start = NowMs();
  orv::WaitUntil([] { return false; }, kIdleWaitMs);
  const double wait_ms = NowMs() - wait_start;
  const double idle_cpu = CpuMs() - cpu_before;

  std::printf("Probe of a server that answers 200 after %u ms, with a %u ms timer running\n",
              kHoldAnswerMs, kTickMs);
  std::printf("  probe result        %s\n", reachable ? "reachable (true)" : "unreachable (false)");
  std::printf("  probe duration      %.0f ms\n", probe_ms);
  std::printf("  ticks               %zu (%.0f expected)\n", tick_count, expected_ticks);
  std::printf("  largest tick gap    %.1f ms   (aim < %.0f ms: %s)\n", max_gap, kAimMaxGapMs,
              Verdict(max_gap < kAimMaxGapMs));
  std::printf("Idle WaitUntil for %d ms\n", kIdleWaitMs);
  std::printf("  wall time           %.0f ms\n", wait_ms);
  std::printf("  CPU (user + sys)    %.1f ms   (aim < %.0f ms: %s)\n", idle_cpu, kAimIdleCpuMs,
              Verdict(idle_cpu < kAimIdleCpuMs));

  g_object_unref(server);
  if (!reachable) {
    std::fprintf(stderr, "loop_bench: the probe did not reach the local server\n");
    return 1;
  }
  return 0;
}
