#include "engine/document_commands.h"

#include "engine/web_browser.h"
#include "platform/error_report.h"

namespace orv {

void RunDocumentCommand(TWebBrowser* browser, CommandGroup group, int command) {
  if (!browser || !browser->HasDocument()) return;
  RunGuarded([&] {
    if (group == CommandGroup::kWebBrowser) {
      // Internet options come with the engine integration.
      if (command == kCmdFind) browser->ShowFindDialog();
      if (command == kCmdViewSource) browser->ShowSource();
      return;
    }
    switch (command) {
      case kCmdCut:
        browser->ExecuteEditingCommand("Cut");
        break;
      case kCmdCopy:
        browser->ExecuteEditingCommand("Copy");
        break;
      case kCmdPaste:
        browser->ExecuteEditingCommand("Paste");
        break;
      case kCmdSelectAll:
        browser->ExecuteEditingCommand("SelectAll");
        break;
      default:
        break;
    }
  });
}

}  // namespace orv
