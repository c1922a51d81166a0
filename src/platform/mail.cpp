#include "platform/mail.h"

#include <gio/gio.h>

#include <memory>

#include "platform/error_report.h"

namespace orv {

namespace {

// xdg-email's exit status when it finds no way to compose a mail.
constexpr int kNoComposer = 3;

}  // namespace

std::string MailValue(const MailRequest& request, const std::string& name) {
  for (const auto& [key, value] : request) {
    if (key == name) return value;
  }
  return "";
}

std::vector<std::string> XdgEmailArguments(const MailRequest& request) {
  std::vector<std::string> args = {"--utf8"};
  if (const std::string subject = MailValue(request, "subject"); !subject.empty()) {
    args.insert(args.end(), {"--subject", subject});
  }
  if (const std::string body = MailValue(request, "body"); !body.empty()) {
    args.insert(args.end(), {"--body", body});
  }
  for (int i = 0;; ++i) {
    const std::string path = MailValue(request, "attachment" + std::to_string(i));
    if (path.empty()) break;
    args.insert(args.end(), {"--attach", path});
  }
  if (const std::string to = MailValue(request, "to"); !to.empty()) {
    gchar* escaped = g_uri_escape_string(to.c_str(), "@", FALSE);
    args.push_back(std::string("mailto:") + escaped);
    g_free(escaped);
  }
  return args;
}

void XdgMailService::Compose(const std::vector<std::string>& arguments,
                             std::function<void(MailStatus)> done) {
  std::vector<const char*> argv = {"xdg-email"};
  for (const auto& a : arguments) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  GError* error = nullptr;
  GSubprocess* child = g_subprocess_newv(argv.data(), G_SUBPROCESS_FLAGS_STDOUT_SILENCE, &error);
  if (!child) {
    // Not installed, or not startable: either way there is no mail program.
    g_clear_error(&error);
    if (done) done(MailStatus::kNoMailProgram);
    return;
  }
  using Done = std::function<void(MailStatus)>;
  g_subprocess_wait_async(
      child, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Done> done(static_cast<Done*>(data));
        GSubprocess* process = G_SUBPROCESS(source);
        MailStatus status = MailStatus::kFailed;
        if (g_subprocess_wait_finish(process, result, nullptr) &&
            g_subprocess_get_if_exited(process)) {
          const int code = g_subprocess_get_exit_status(process);
          status = code == 0             ? MailStatus::kHandedOver
                   : code == kNoComposer ? MailStatus::kNoMailProgram
                                         : MailStatus::kFailed;
        }
        g_object_unref(process);
        if (*done) RunReported([&] { (*done)(status); });
      },
      new Done(std::move(done)));
}

void XdgMailService::OpenMailClient() {
  GAppInfo* app = g_app_info_get_default_for_uri_scheme("mailto");
  if (!app) return;
  GError* error = nullptr;
  // A mail program that will not start is left alone, as if there were none.
  g_app_info_launch(app, nullptr, nullptr, &error);
  g_clear_error(&error);
  g_object_unref(app);
}

}  // namespace orv
