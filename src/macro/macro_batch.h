// A macro run without a window, for tabulon-cli: a workspace with the
// interpreter, a file opened (its AUTOEXEC macro running as in the window)
// or an empty sheet, then the macro at a location or a macro text. Prompts
// take prepared answers in order; every message box is written to a
// stream, "Error: " and the text for error boxes, "Note: " and the text for
// the others; a deadline stops a macro that does not end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "macro/macro_interpreter.h"
#include "platform/headless_host.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {

// Answers every prompt from one queue and writes the message boxes out.
class BatchHost : public HeadlessHost {
 public:
  BatchHost(std::FILE* messages, bool utf8) : out_(messages), utf8_(utf8) {}

  // The answers, used front first: the text typed into an input box; a
  // key (the first character of the answer; an empty answer is Enter, a
  // key name in braces such as {DOWN} is that key); a menu option's number
  // (1 for the first).
  std::deque<std::string> answers;
  // A prompt found no answer left (it reports "no input left for prompt").
  bool ranOut = false;
  int errorsShown = 0;

  void ShowMessage(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view initial) override;
  std::optional<std::string> WaitForKey(std::string_view caption) override;
  std::optional<int> ChooseFromMenu(std::string_view title,
                                    const std::vector<MenuOption>& options) override;
  // Writes "Error: " and the text, as an error box would show it.
  void Error(std::string_view text);

 private:
  std::optional<std::string> Next();
  void Write(const std::string& line);
  std::FILE* out_;
  bool utf8_;
};

struct MacroBatchOptions {
  std::string file;       // the worksheet to open; empty for a new sheet
  std::string location;   // where the macro starts (an address or a range name)
  std::string text;       // or the macro text
  bool hasText = false;
  std::vector<std::string> inputs;
  double timeoutSeconds = 60;  // 0: no limit
};

class MacroBatch {
 public:
  MacroBatch(std::FILE* messages, bool utf8);
  ~MacroBatch();
  MacroBatch(const MacroBatch&) = delete;
  MacroBatch& operator=(const MacroBatch&) = delete;

  // Opens the sheet and runs the macros. True when every macro ran to its
  // end or to QUIT; false after an error, a timeout, a prompt without an
  // answer, or a file or location that could not be used (each reported).
  bool Run(const MacroBatchOptions& options);

  // The sheet the run left active (null when the macros closed every
  // window).
  SheetDocument* Active() { return ws_.active() ? &ws_.active()->document() : nullptr; }
  Workspace& workspace() { return ws_; }
  MacroInterpreter& macros() { return macros_; }
  BatchHost& host() { return host_; }

 private:
  // Whether the macro that ran last ended well; reports a timeout.
  bool Ended();

  BatchHost host_;
  Session session_;
  Workspace ws_;
  MacroInterpreter macros_;
};

}  // namespace tabulon
