// Everything that is program-wide: the document table and the current
// document, program settings, the error channel, the platform host, and
// the formula engine's lists and state. Tests create one Session each.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "sheet/error_channel.h"
#include "sheet/program_settings.h"
#include "sheet/sheet_document.h"

namespace tabulon {

class Host;
class CursorSource;

// A program-wide service that a layer above the sheet keeps in the session
// (the formula engine's lists and evaluator state). The session owns it and
// destroys it after its documents.
class SessionPart {
 public:
  virtual ~SessionPart() = default;
};

class Session {
 public:
  explicit Session(Host& host);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Host& host() { return host_; }
  ErrorChannel& errors() { return errors_; }
  ProgramSettings& settings() { return settings_; }
  const ProgramSettings& settings() const { return settings_; }

  // Reports the channel's message through ShowError.
  void ShowError(std::string_view message);

  // --- document table ----------------------------------------------------
  // A new empty document in the lowest free slot (1..256), with the
  // program's default sheet settings and a reference count of 1; null with
  // "Too many worksheets" when every slot is taken.
  SheetDocument* NewDocument();
  // The open document whose upper-cased file name equals the upper-cased
  // name, or null.
  SheetDocument* FindDocument(std::string_view fileName);
  // Adds a reference (another window showing the document).
  void Retain(SheetDocument& doc) { ++doc.refCount; }
  // Drops a reference; at zero the slot is freed.
  void Release(SheetDocument& doc);
  SheetDocument* Document(int slot) { return (slot >= 1 && slot <= kDocumentSlots) ? docs_[slot - 1].get() : nullptr; }
  int documentCount() const;

  SheetDocument* current() { return current_; }
  void SetCurrent(SheetDocument* doc) { current_ = doc; }

  // The active worksheet window's cursor and selection ("CURSOR", "RANGE").
  const CursorSource* cursor() const { return cursor_; }
  void SetCursorSource(const CursorSource* source) { cursor_ = source; }

  // The formula engine's state (compiler lists, evaluator, recalculation);
  // formula/engine.h reaches it through Engine(session).
  std::unique_ptr<SessionPart>& formulaPart() { return formulaPart_; }

 private:
  Host& host_;
  ErrorChannel errors_;
  ProgramSettings settings_;
  std::array<std::unique_ptr<SheetDocument>, kDocumentSlots> docs_;
  SheetDocument* current_ = nullptr;
  const CursorSource* cursor_ = nullptr;
  std::unique_ptr<SessionPart> formulaPart_;
};

}  // namespace tabulon
