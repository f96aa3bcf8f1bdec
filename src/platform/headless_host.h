// A Host without a display: it records what would have been shown and
// answers questions from queues filled in advance (tests, tabulon-cli).
#pragma once

#include <deque>
#include <string>
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

  // What happened.
  int beeps = 0;
  int tones = 0;
  std::vector<std::string> messages;   // every message box text
  std::vector<std::string> questions;  // every question asked
  std::string clipboard;

  // Scripted answers, consumed front first. An empty queue answers
  // Cancel / false / no value.
  std::deque<Answer> answers;
  std::deque<bool> okAnswers;
  std::deque<std::optional<std::string>> inputs;
  std::deque<std::optional<std::string>> fileNames;
};

}  // namespace tabulon
