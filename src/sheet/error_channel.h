// The error channel: one flag and one message through which model and
// command code report a failure. Callers clear it before an operation and
// look at it afterwards; the user-facing code shows the message.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

class Host;

class ErrorChannel {
 public:
  bool failed() const { return flag_; }
  const std::string& message() const { return message_; }

  // Raise the flag with a message ("Out of Range", "Protected Cell", ...).
  void Fail(std::string_view message) {
    flag_ = true;
    message_.assign(message);
  }
  // Raise the flag without a message (syntax errors, parse failures).
  void Raise() { flag_ = true; }
  void Clear() {
    flag_ = false;
    message_.clear();
  }

 private:
  bool flag_ = false;
  std::string message_;
};

// Beeps and shows the modal box whose text is "Error:" directly followed by
// the message.
void ShowError(Host& host, std::string_view message);

}  // namespace tabulon
