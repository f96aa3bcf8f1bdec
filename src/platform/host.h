// What the system needs of the platform for interaction with the user:
// sounds, message boxes, questions, input boxes, file dialogs, the
// clipboard and the clock. The Qt layer implements it for the windowed
// program; HeadlessHost answers from a script for tests and tabulon-cli.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tabulon {

enum class Answer { Yes, No, Cancel };

class Host {
 public:
  virtual ~Host() = default;

  virtual void Beep() = 0;
  // A modal box with an OK button only.
  virtual void ShowMessage(std::string_view text) = 0;
  virtual Answer AskYesNoCancel(std::string_view caption, std::string_view text) = 0;
  virtual bool AskOkCancel(std::string_view caption, std::string_view text) = 0;
  // Returns no value when the user cancels.
  virtual std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                              std::string_view initial) = 0;
  virtual std::optional<std::string> OpenFileName(std::string_view caption,
                                                  std::string_view filter) = 0;
  virtual std::optional<std::string> SaveFileName(std::string_view caption,
                                                  std::string_view filter,
                                                  std::string_view proposed) = 0;

  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(std::string_view text) = 0;

  // Milliseconds since an arbitrary start, for timing and @functions.
  virtual std::uint64_t TickCount() = 0;
  virtual void Tone(int frequency, int milliseconds) = 0;
};

}  // namespace tabulon
