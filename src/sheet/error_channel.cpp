#include "sheet/error_channel.h"

#include "platform/host.h"

namespace tabulon {

void ShowError(Host& host, std::string_view message) {
  host.Beep();
  std::string text = "Error:";
  text.append(message);
  host.ShowMessage(text);
}

}  // namespace tabulon
