// The outcome of a command: success, or a failure with the message the user
// is shown ("Error:" and the text), or a failure shown only by a beep.
// Commands return it; the workspace alone shows it.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tabulon {

class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string_view message) { return Status(false, std::string(message)); }
  // A failure without a message box: the workspace beeps.
  static Status Beep() { return Status(false, {}); }

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  Status(bool ok, std::string message) : ok_(ok), message_(std::move(message)) {}
  bool ok_ = true;
  std::string message_;
};

}  // namespace tabulon
