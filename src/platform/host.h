// What the system needs of the platform for interaction with the user:
// sounds, message boxes, questions, input boxes, file dialogs, the
// clipboard and the clock. The Qt layer implements it for the windowed
// program; HeadlessHost answers from a script for tests and tabulon-cli.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

enum class Answer { Yes, No, Cancel };

// One entry of a macro's menu: the option and the line describing it.
struct MenuOption {
  std::string name;
  std::string description;
};

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

  // --- what a running macro needs -----------------------------------------------
  // Waits for the next key the user presses and returns it as macro text:
  // the character itself, "~" for Enter, or the key's keyword in braces
  // ("{DOWN}"). No value when the user broke off (Escape, Control+Break) or
  // no key can come. A non-empty caption is shown while waiting (single
  // step shows the cell and its line there).
  virtual std::optional<std::string> WaitForKey(std::string_view /*caption*/) {
    return std::nullopt;
  }
  // The "Macro Menu" dialog: the options with their descriptions under an
  // optional title. The 0-based choice, or no value when cancelled.
  virtual std::optional<int> ChooseFromMenu(std::string_view /*title*/,
                                            const std::vector<MenuOption>& /*options*/) {
    return std::nullopt;
  }
  // Plays a WAV file: mode 1 to its end, 2 in the background, 3 in the
  // background in a loop, 4 in a player window; any other mode stops what
  // plays. False when the file cannot be played; a machine without sound
  // plays nothing and is not a failure.
  virtual bool PlaySound(std::string_view /*file*/, int /*mode*/) { return false; }
  // Lets the platform handle what is pending (painting, the user's Escape)
  // while a long operation such as a macro runs on the user-interface thread.
  virtual void ProcessEvents() {}
};

}  // namespace tabulon
