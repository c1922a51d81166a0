// The engine as the windows see it: where their browsers come from, and
// what the engine says about itself.
#pragma once

#include <memory>
#include <string>

#include "engine/browser_backend.h"

namespace orv {

class EngineService {
 public:
  virtual ~EngineService() = default;
  // A backend for a new browser. Throws when the engine cannot make one.
  virtual std::unique_ptr<BrowserBackend> NewBackend() = 0;
  // The engine's version, e.g. "2.50.6".
  virtual std::string Version() const = 0;
  // Empties the engine's memory and disk caches of web content, waiting in
  // the waiting loop until it is done, and empties them once more a moment
  // later, without waiting, for copies the engine was still writing to disk;
  // cookies, history and everything the program keeps itself stay.
  virtual void ClearCache() = 0;
};

}  // namespace orv
