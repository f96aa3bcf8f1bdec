#include "platform/headless_host.h"

#include <chrono>
#include <fstream>

namespace tabulon {

namespace {
template <typename T, typename D>
T TakeFront(std::deque<T>& queue, D fallback) {
  if (queue.empty()) return fallback;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}
}  // namespace

Answer HeadlessHost::AskYesNoCancel(std::string_view, std::string_view text) {
  questions.emplace_back(text);
  return TakeFront(answers, Answer::Cancel);
}

bool HeadlessHost::AskOkCancel(std::string_view, std::string_view text) {
  questions.emplace_back(text);
  return TakeFront(okAnswers, false);
}

std::optional<std::string> HeadlessHost::InputBox(std::string_view, std::string_view prompt,
                                                  std::string_view) {
  questions.emplace_back(prompt);
  return TakeFront(inputs, std::optional<std::string>{});
}

std::optional<std::string> HeadlessHost::OpenFileName(std::string_view, std::string_view) {
  return TakeFront(fileNames, std::optional<std::string>{});
}

std::optional<std::string> HeadlessHost::SaveFileName(std::string_view, std::string_view,
                                                      std::string_view) {
  return TakeFront(fileNames, std::optional<std::string>{});
}

std::optional<std::string> HeadlessHost::WaitForKey(std::string_view caption) {
  keyCaptions.emplace_back(caption);
  return TakeFront(keys, std::optional<std::string>{});
}

std::optional<int> HeadlessHost::ChooseFromMenu(std::string_view title,
                                                const std::vector<MenuOption>& options) {
  menuTitles.emplace_back(title);
  menus.push_back(options);
  return TakeFront(menuChoices, std::optional<int>{});
}

bool HeadlessHost::PlaySound(std::string_view file, int mode) {
  sounds.emplace_back(std::string(file), mode);
  if (mode < 1 || mode > 4) return true;
  std::ifstream f{std::string(file), std::ios::binary};
  return static_cast<bool>(f);
}

std::uint64_t HeadlessHost::TickCount() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tabulon
