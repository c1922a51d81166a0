// Starting other programs: always an argument vector, never a shell line.
#pragma once

#include <string>
#include <vector>

namespace orv {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Starts `program` with `arguments` and does not wait for it. Throws
  // std::runtime_error when it cannot be started.
  virtual void Start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

class SubprocessLauncher final : public Launcher {
 public:
  void Start(const std::string& program, const std::vector<std::string>& arguments) override;
};

}  // namespace orv
