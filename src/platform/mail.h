// Handing mail to the user's mail program. A mail request is a list of
// name=value pairs: "to" (one recipient), "subject", "body", and
// "attachment0", "attachment1", ... (full paths, numbered without gaps). A
// name that is missing or has an empty value counts as absent.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orv {

using MailRequest = std::vector<std::pair<std::string, std::string>>;

// The value of `name` in `request`; empty when absent.
std::string MailValue(const MailRequest& request, const std::string& name);

// The arguments xdg-email is started with for `request`: the subject, the
// body, the attachments counted from 0 up to the first absent one, and the
// recipient as a mailto address (so that no value is ever read as an
// option).
std::vector<std::string> XdgEmailArguments(const MailRequest& request);

enum class MailStatus {
  // The request reached the mail program.
  kHandedOver,
  // There is no mail program: xdg-email is missing or knows of none.
  kNoMailProgram,
  // The mail program was there but the hand-off failed.
  kFailed,
};

class MailService {
 public:
  virtual ~MailService() = default;
  // Runs xdg-email with `arguments` and does not wait for it: `done` learns
  // the outcome when it ends. A mail program's compose window is a process
  // of its own, so the browser stays usable meanwhile.
  virtual void Compose(const std::vector<std::string>& arguments,
                       std::function<void(MailStatus)> done) = 0;
  // Starts the desktop's default mailto handler with no message. Does
  // nothing when there is none or it does not start.
  virtual void OpenMailClient() = 0;
};

class XdgMailService final : public MailService {
 public:
  void Compose(const std::vector<std::string>& arguments,
               std::function<void(MailStatus)> done) override;
  void OpenMailClient() override;
};

}  // namespace orv
