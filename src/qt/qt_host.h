// The Host of the windowed program: message boxes, questions, input boxes,
// file dialogs, the clipboard, sounds and the clock through Qt.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

#include "platform/host.h"

namespace tabulon {

class QtHost : public Host {
 public:
  QtHost();
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

  // Directories the file dialogs start in; updated after each dialog.
  std::string openDirectory, saveDirectory;

  // Automation (tests, scripted runs): when set, these answer instead of
  // the modal boxes.
  std::function<Answer(const std::string&)> answerQuestion;
  std::function<std::optional<std::string>(const std::string&)> answerFileName;
  std::function<void(const std::string&)> onMessage;

 private:
  QWidget* parent_ = nullptr;
  QElapsedTimer clock_;
};

}  // namespace tabulon
