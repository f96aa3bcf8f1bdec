// A Host without a display: it records what would have been shown and
// answers questions from queues filled in advance (tests, tabulon-cli).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"

namespace tabulon {

class HeadlessHost : public Host {
 public:
  void Beep() override { ++beeps; }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  Answer AskYesNoCancel(std::string_view caption, std::string_view text) override;
  bool AskOkCancel(std::string_view caption, std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) override;
  std::optional<std::string> OpenFileName(std::string_view caption,
                                          std::string_view filter) override;
  std::optional<std::string> SaveFileName(std::string_view caption, std::string_view filter,
                                          std::string_view proposed) override;
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(std::string_view text) override { clipboard.assign(text); }
  std::uint64_t TickCount() override;
  void Tone(int /*frequency*/, int /*milliseconds*/) override { ++tones; }
  std::optional<std::string> WaitForKey(std::string_view caption) override;
  std::optional<int> ChooseFromMenu(std::string_view title,
                                    const std::vector<MenuOption>& options) override;
  // Records the request; true when the file can be read (or the mode stops).
  bool PlaySound(std::string_view file, int mode) override;
  void ProcessEvents() override {
    ++eventPolls;
    if (onProcessEvents) onProcessEvents();
  }

  // What happened.
  int beeps = 0;
  int tones = 0;
  std::vector<std::string> messages;   // every message box text
  std::vector<std::string> questions;  // every question asked
  std::string clipboard;
  std::vector<std::string> keyCaptions;  // the caption of every key wait
  std::vector<std::string> menuTitles;   // the title of every macro menu
  std::vector<std::vector<MenuOption>> menus;
  std::vector<std::pair<std::string, int>> sounds;  // file and mode of every PlaySound
  int eventPolls = 0;
  // Called on every ProcessEvents: a test plays the user here (an Escape
  // typed while a macro runs).
  std::function<void()> onProcessEvents;

  // Scripted answers, consumed front first. An empty queue answers
  // Cancel / false / no value.
  std::deque<Answer> answers;
  std::deque<bool> okAnswers;
  std::deque<std::optional<std::string>> inputs;
  std::deque<std::optional<std::string>> fileNames;
  std::deque<std::optional<std::string>> keys;  // WaitForKey
  std::deque<std::optional<int>> menuChoices;   // ChooseFromMenu, 0-based
};

}  // namespace tabulon
