#include "macro/macro_batch.h"

#include <cmath>
#include <cstdlib>

#include "io/encoding.h"

namespace tabulon {

// --- the host -------------------------------------------------------------------

void BatchHost::Write(const std::string& line) {
  std::string text = utf8_ ? Cp1252ToUtf8(line) : line;
  std::fwrite(text.data(), 1, text.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void BatchHost::ShowMessage(std::string_view text) {
  HeadlessHost::ShowMessage(text);
  constexpr std::string_view kError = "Error:";
  if (text.substr(0, kError.size()) == kError) {
    ++errorsShown;
    Write("Error: " + std::string(text.substr(kError.size())));
  } else {
    Write("Note: " + std::string(text));
  }
}

void BatchHost::Error(std::string_view text) { Write("Error: " + std::string(text)); }

std::optional<std::string> BatchHost::Next() {
  if (answers.empty()) {
    if (!ranOut) Error("no input left for prompt");
    ranOut = true;
    return std::nullopt;
  }
  std::string a = std::move(answers.front());
  answers.pop_front();
  return a;
}

std::optional<std::string> BatchHost::InputBox(std::string_view, std::string_view prompt,
                                               std::string_view) {
  questions.emplace_back(prompt);
  return Next();
}

std::optional<std::string> BatchHost::WaitForKey(std::string_view caption) {
  keyCaptions.emplace_back(caption);
  std::optional<std::string> a = Next();
  if (!a) return a;
  if (a->empty()) return std::string("~");
  if (a->front() == '{' && a->back() == '}') return a;
  return a->substr(0, 1);
}

std::optional<int> BatchHost::ChooseFromMenu(std::string_view title,
                                             const std::vector<MenuOption>& options) {
  menuTitles.emplace_back(title);
  menus.push_back(options);
  std::optional<std::string> a = Next();
  if (!a) return std::nullopt;
  char* end = nullptr;
  long n = std::strtol(a->c_str(), &end, 10);
  if (end == a->c_str() || *end != '\0' || n < 1 || n > static_cast<long>(options.size())) {
    Error("no menu option " + *a + " (1 to " + std::to_string(options.size()) + ")");
    return std::nullopt;
  }
  return static_cast<int>(n - 1);
}

// --- the run ----------------------------------------------------------------------

MacroBatch::MacroBatch(std::FILE* messages, bool utf8)
    : host_(messages, utf8), session_(host_), ws_(session_), macros_(ws_) {
  RegisterMacroCommands(ws_, macros_);
}

MacroBatch::~MacroBatch() { macros_.StopMacro(); }

bool MacroBatch::Ended() {
  switch (macros_.lastEnding()) {
    case MacroInterpreter::Ending::kNone:
    case MacroInterpreter::Ending::kEnd:
    case MacroInterpreter::Ending::kQuit:
      return true;
    case MacroInterpreter::Ending::kTimeout:
      host_.Error("macro timed out");
      return false;
    case MacroInterpreter::Ending::kError:
    case MacroInterpreter::Ending::kBreak:
      return false;
  }
  return false;
}

bool MacroBatch::Run(const MacroBatchOptions& options) {
  host_.answers.assign(options.inputs.begin(), options.inputs.end());
  if (options.timeoutSeconds > 0 && std::isfinite(options.timeoutSeconds)) {
    double ms = std::min(options.timeoutSeconds * 1000.0, 1e15);
    macros_.SetDeadline(host_.TickCount() + static_cast<std::uint64_t>(ms));
  }
  if (options.file.empty()) {
    if (ws_.NewSheet() == nullptr) return false;
  } else {
    Status s = ws_.Open(options.file);
    if (!s) {
      host_.Error(options.file + ": " +
                  (s.message().empty() ? std::string("cannot open") : s.message()));
      return false;
    }
    // Opening ran the sheet's AUTOEXEC macro, when it has one.
    if (!Ended()) return false;
  }
  if (options.hasText) {
    macros_.RunMacroText(options.text);
  } else if (!options.location.empty()) {
    if (!macros_.RunMacroAtText(options.location)) {
      host_.Error("not a cell or range name: " + options.location);
      return false;
    }
  } else {
    return true;
  }
  return Ended();
}

}  // namespace tabulon
