// The Host of the windowed program: message boxes, questions, input boxes,
// file dialogs, the clipboard, sounds and the clock through Qt.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QWidget>
#include <functional>

#include "platform/host.h"

namespace tabulon {

class QtHost : public Host {
 public:
  QtHost();
  ~QtHost() override { StopSound(); }
  void SetParent(QWidget* parent) { parent_ = parent; }

  void Beep() override;
  void ShowMessage(std::string_view text) override;
  Answer AskYesNoCancel(std::string_view caption, std::string_view text) override;
  bool AskOkCancel(std::string_view caption, std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) override;
  std::optional<std::string> OpenFileName(std::string_view caption,
                                          std::string_view filter) override;
  std::optional<std::string> SaveFileName(std::string_view caption, std::string_view filter,
                                          std::string_view proposed) override;
  std::string ClipboardText() override;
  void SetClipboardText(std::string_view text) override;
  std::uint64_t TickCount() override;
  void Tone(int frequency, int milliseconds) override;
  // A local event loop takes the next key pressed anywhere in the program;
  // Escape and Control+Break give no key. The caption goes into the frame's
  // title and "Step" into its mode panel meanwhile.
  std::optional<std::string> WaitForKey(std::string_view caption) override;
  // A modal "Macro Menu" dialog listing the options and their descriptions.
  std::optional<int> ChooseFromMenu(std::string_view title,
                                    const std::vector<MenuOption>& options) override;
  // Plays a WAV file with the desktop's sound player (paplay, pw-play or
  // aplay) when one is installed; without one it beeps. False only for a
  // file that is missing or not a WAV file.
  bool PlaySound(std::string_view file, int mode) override;
  void ProcessEvents() override;

  // Directories the file dialogs start in; updated after each dialog.
  std::string openDirectory, saveDirectory;

  // Automation (tests, scripted runs): when set, these answer instead of
  // the modal boxes.
  std::function<Answer(const std::string&)> answerQuestion;
  std::function<std::optional<std::string>(const std::string&)> answerFileName;
  std::function<void(const std::string&)> onMessage;
  std::function<std::optional<std::string>(const std::string&)> answerInput;
  std::function<std::optional<int>(const std::vector<MenuOption>&)> answerMenu;

 private:
  void StopSound();

  QWidget* parent_ = nullptr;
  QElapsedTimer clock_;
  QPointer<QProcess> sound_;  // the player of a sound playing in the background
  bool loopSound_ = false;
};

}  // namespace tabulon
