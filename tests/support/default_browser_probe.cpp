// Prints whether the desktop's default web browser is Orvindel, as the
// program itself tests it: "true" or "false".
#include <cstdio>

#include "platform/desktop_integration.h"

int main() {
  std::puts(orv::IsDefaultBrowser() ? "true" : "false");
  return 0;
}
