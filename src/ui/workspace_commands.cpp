// The workspace's own commands: File, Edit, View, Sheet, Range, Copy, Move,
// Window and Help, the quick bar's buttons and the grid's pop-up menu. Each
// `run` takes its arguments as a macro gives them (locations as range text
// or names, numbers and texts), so the menus and the macro language share
// one path; `invoke` is the interactive part of a menu click (range
// prompts, file dialogs, dialogs of the view).
#include <cmath>
#include <cstdlib>

#include "base/text.h"
#include "display/format.h"
#include "ui/general_settings.h"
#include "edit/block_ops.h"
#include "edit/cell_entry.h"
#include "edit/justify.h"
#include "edit/name_commands.h"
#include "edit/undo.h"
#include "io/worksheet_file.h"
#include "platform/host.h"
#include "ui/block_commands.h"
#include "ui/document_info.h"
#include "ui/main_commands.h"
#include "ui/row_painter.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

constexpr const char* kOpenFilter =
    "Worksheets (*.wks,*.wk1)|*.wks;*.wk1;*.WKS;*.WK1|Backups (*.wkb)|*.wkb;*.WKB|All Files|*";

SheetWindow& Active(Workspace& ws) { return *ws.active(); }
SheetDocument& Doc(Workspace& ws) { return ws.active()->document(); }

// A block command's result as a status: its message from the error channel.
Status FromBlock(Workspace& ws, const BlockResult& r) {
  if (r.ok) return Status::Ok();
  const std::string& m = ws.session().errors().message();
  return m.empty() ? Status::Beep() : Status::Error(m);
}

// The error channel's message after a failed model operation.
Status Failed(Workspace& ws) {
  const std::string& m = ws.session().errors().message();
  return m.empty() ? Status::Beep() : Status::Error(m);
}

// A location argument that must name a range; undefined ranges refuse the
// command with a beep.
bool ReadRange(Workspace& ws, const std::string& text, CellRange& range) {
  range = ws.Location(text);
  return range.IsDefined();
}

int ReadInt(const std::string& text, int fallback = 0) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v)) return fallback;
  return static_cast<int>(std::lround(std::clamp(v, -2e9, 2e9)));
}

std::string RangeArg(Workspace& ws, const CellRange& r) {
  return RangeText(r, Doc(ws).settings().pageHeight);
}

// The selection of the active window as a location argument.
std::string SelectionArg(Workspace& ws) { return RangeArg(ws, Active(ws).SelectionRange()); }

// Sets an attribute on every cell of a range, making records for empty
// cells so that they keep it; cells locked under protection stay as they are.
template <typename Fn>
Status EachCellOf(Workspace& ws, const CellRange& r, Fn&& set) {
  SheetDocument& doc = Doc(ws);
  for (int row = std::max(r.Top(), 0); row <= std::min(r.Bottom(), kRowCount - 1); ++row) {
    for (int col = r.Left(); col <= r.Right(); ++col) {
      CellRecord* cell = doc.cells().GetOrCreateCell(row, col);
      if (cell == nullptr) return Failed(ws);
      if (doc.settings().protect && cell->IsLocked()) continue;
      set(*cell);
    }
  }
  doc.settings().modified = true;
  return Status::Ok();
}

// Rewrites the text of every label of a range (its first byte is the
// prefix); cells locked under protection stay as they are.
template <typename Fn>
Status EachLabelOf(Workspace& ws, const CellRange& r, Fn&& change) {
  SheetDocument& doc = Doc(ws);
  ForEachCell(doc, r, [&](CellRecord& cell, int, int) {
    if (cell.Kind() != kLabel || cell.text == nullptr) return;
    if (doc.settings().protect && cell.IsLocked()) return;
    std::string text(cell.TextView());
    if (text.empty()) return;
    change(text);
    doc.cells().SetCellText(cell, text);
  });
  doc.settings().modified = true;
  return Status::Ok();
}

Command& Macro(Command& c, char family, char letter) {
  c.family = family;
  c.letter = letter;
  return c;
}

// The font of a range's first cell, which justify measures with.
FontSpec JustifyFont(Workspace& ws, const CellRange& r) {
  SheetDocument& doc = Doc(ws);
  FontSpec f{"Arial", Active(ws).defaultRowHeight, 0};
  const CellRecord* cell = doc.cells().FindCell(r.Top(), r.Left());
  if (cell == nullptr) return f;
  const auto& names = doc.extras().fontNames;
  if (cell->font != kDefaultFont && cell->font < names.size() && !names[cell->font].empty())
    f.face = names[cell->font];
  if (cell->fontSize != 0) f.pixelHeight = cell->fontSize;
  f.style = (cell->style & 0x80) ? 0u : (cell->style & 0x0Fu);
  return f;
}

// Runs `fn` on the active window's document and selection, for the quick
// bar's attribute buttons and selectors.
template <typename Fn>
Status OnSelection(Workspace& ws, Fn&& fn) {
  fn(Doc(ws), Active(ws).SelectionRange());
  Doc(ws).settings().modified = true;
  return Status::Ok();
}

// Two range prompts, then the command with both ranges as arguments.
// Asks for one range on the input line and runs the command on it.
void AskOneRange(Workspace& ws, std::string prompt, std::string id) {
  ws.AskRange(prompt, [&ws, id](const CellRange& r) {
    if (!r.IsDefined()) {
      ws.host().Beep();
      return;
    }
    ws.Execute(id, {RangeArg(ws, r)});
  });
}

void AskTwoRanges(Workspace& ws, std::string first, std::string second, std::string id) {
  ws.AskRange(first, [&ws, second, id](const CellRange& from) {
    if (!from.IsDefined()) {
      ws.host().Beep();
      return;
    }
    std::string fromText = RangeArg(ws, from);
    ws.AskRange(second, [&ws, id, fromText](const CellRange& to) {
      if (!to.IsDefined()) {
        ws.host().Beep();
        return;
      }
      ws.Execute(id, {fromText, RangeArg(ws, to)});
    });
  });
}

void FileCommands(Workspace& ws, CommandTable& t) {
  const unsigned sheet = kNeedsSheet;
  Macro(t.Add(MakeCommand("file.new", "&File", "&New", "MAIN|Create New Worksheet", 0,
                   [](Workspace& w, const CommandArgs&) {
                     w.NewSheet();
                     return Status::Ok();
                   })),
        'f', 'n');
  Command& open = t.Add(MakeCommand("file.open", "&File", "&Open ...", "Load Selected Worksheet", 0,
                             [](Workspace& w, const CommandArgs& a) {
                               if (a[0].empty()) return Status::Beep();
                               return w.Open(a[0]);
                             }));
  open.invoke = [](Workspace& w) {
    auto name = w.host().OpenFileName("Open", kOpenFilter);
    if (name) w.Show(w.Open(*name));
  };
  Macro(open, 'f', 'o');
  Macro(t.Add(MakeCommand("file.save", "&File", "&Save", "Save Sheet Using Current Name", sheet,
                   [](Workspace& w, const CommandArgs&) {
                     SheetWindow& a = Active(w);
                     return w.Save(a, a.untitled) ? Status::Ok() : Status::Beep();
                   })),
        'f', 's');
  Command& saveAs =
      t.Add(MakeCommand("file.saveas", "&File", "Save &As ...", "Specify New Name for Worksheet and Save",
                 sheet, [](Workspace& w, const CommandArgs& a) {
                   // Kind 0 with a name saves as a worksheet file; anything
                   // else goes through the dialog.
                   if (!a[0].empty() && ReadInt(a[1]) == 0) return w.SaveAs(Active(w), a[0]);
                   return w.Save(Active(w), true) ? Status::Ok() : Status::Beep();
                 }));
  Macro(saveAs, 'f', 'a');
  Macro(t.Add(MakeCommand("file.close", "&File", "&Close", "Close worksheet", sheet,
                   [](Workspace& w, const CommandArgs& a) {
                     if (a[0].empty()) {
                       w.Close(Active(w));
                       return Status::Ok();
                     }
                     // Every window whose file is the one named.
                     std::string name = UpperCase(WorksheetFileName(a[0]));
                     for (std::size_t i = w.windows().size(); i-- > 0;) {
                       SheetWindow& s = *w.windows()[i];
                       if (UpperCase(s.document().fileName()) == name && !w.Close(s)) break;
                     }
                     return Status::Ok();
                   })),
        'f', 'c');
  Macro(t.Add(MakeCommand("file.focus", "", "", "", 0,
                   [](Workspace& w, const CommandArgs& a) {
                     std::string name = UpperCase(WorksheetFileName(a[0]));
                     for (auto& s : w.windows())
                       if (UpperCase(s->document().fileName()) == name) w.Activate(s.get());
                     return Status::Ok();
                   })),
        'f', 'f');
  Macro(t.Add(MakeCommand("file.doc", "", "", "", sheet,
                   [](Workspace& w, const CommandArgs& a) {
                     WorksheetExtras& x = Doc(w).extras();
                     (ReadInt(a[0]) == 0 ? x.title : x.comments) = a[1].substr(0, kMaxText);
                     Doc(w).settings().modified = true;
                     return Status::Ok();
                   })),
        'f', 'd');
  Macro(t.Add(MakeCommand("file.pick", "", "", "", sheet,
                   [](Workspace& w, const CommandArgs& a) {
                     // The second text is a file pattern such as "*.WKS"; the
                     // dialog offers it and every file.
                     std::string pattern = a[1].empty() ? std::string("*") : a[1];
                     std::string filter = pattern + "|" + pattern + "|All Files|*";
                     auto name = w.host().OpenFileName(a[0], filter);
                     if (!name) return Status::Ok();  // cancelled: the cell stays
                     CellRange at = w.Location(a[2]);
                     if (!at.IsDefined()) return Status::Beep();
                     EntryResult r = EnterCell(Doc(w), "'" + *name, at.Top(), at.Left());
                     return r.ok ? Status::Ok() : Failed(w);
                   })),
        'f', 'p');
  Command& info = t.Add(MakeCommand("file.docinfo", "&File", "&Doc Info...",
                             "Add worksheet identification info.", sheet | kSeparatorBefore,
                             nullptr));
  info.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kDocInfo, 0); };
  t.Add(MakeCommand("file.getinfo", "&File", "&Get Info ...", "Statistics of Current Sheet", sheet,
             [](Workspace& w, const CommandArgs&) {
               std::string text;
               for (const std::string& line : SheetStatistics(Doc(w))) text += line + "\n";
               w.host().ShowMessage(text);
               return Status::Ok();
             }));
  Command& exit = t.Add(MakeCommand("file.exit", "&File", "E&xit", "Exit TABULON", kSeparatorBefore,
                             [](Workspace& w, const CommandArgs&) {
                               w.view().Exit();
                               return Status::Ok();
                             }));
  Macro(exit, 'f', 'e');
  (void)ws;
}

void EditCommands(CommandTable& t) {
  const unsigned sheet = kNeedsSheet;
  Command& undo = t.Add(MakeCommand("edit.undo", "&Edit", "&Undo", "", sheet | kCancelsEntry,
                             [](Workspace& w, const CommandArgs&) {
                               return RestoreSnapshot(Doc(w)) ? Status::Ok() : Status::Beep();
                             }));
  undo.shortcut = "Ctrl+Z";
  Command& cut = t.Add(MakeCommand("edit.cut", "&Edit", "Cu&t", "Transfer Range to Clipboard",
                            sheet | kTakesSnapshot | kCancelsEntry,
                            [](Workspace& w, const CommandArgs& a) {
                              CellRange r;
                              if (!ReadRange(w, a.size() ? a[0] : SelectionArg(w), r))
                                return Status::Beep();
                              w.host().SetClipboardText(ClipboardTextOf(Doc(w), r).text);
                              EraseRange(Doc(w), r);
                              return Status::Ok();
                            }));
  cut.shortcut = "Ctrl+X";
  Macro(cut, 'e', 't');
  Command& copy = t.Add(MakeCommand("edit.copy", "&Edit", "&Copy", "Copy Range to Clipboard",
                             sheet | kCancelsEntry, [](Workspace& w, const CommandArgs& a) {
                               CellRange r;
                               if (!ReadRange(w, a.size() ? a[0] : SelectionArg(w), r))
                                 return Status::Beep();
                               w.host().SetClipboardText(ClipboardTextOf(Doc(w), r).text);
                               return Status::Ok();
                             }));
  copy.shortcut = "Ctrl+C";
  Macro(copy, 'e', 'c');
  Command& paste = t.Add(MakeCommand("edit.paste", "&Edit", "&Paste", "Paste Clipboard to Range",
                              sheet | kTakesSnapshot | kCancelsEntry,
                              [](Workspace& w, const CommandArgs& a) {
                                CellRange r;
                                if (!ReadRange(w, a.size() ? a[0] : SelectionArg(w), r))
                                  return Status::Beep();
                                std::string text = w.host().ClipboardText();
                                if (text.empty()) return Status::Beep();
                                CellAddress at{static_cast<std::int16_t>(r.Left()),
                                               static_cast<std::int16_t>(r.Top())};
                                PasteResult p = PasteText(Doc(w), at, text);
                                return p.ok ? Status::Ok() : Failed(w);
                              }));
  paste.shortcut = "Ctrl+V";
  Macro(paste, 'e', 'p');
  Command& erase = t.Add(MakeCommand("edit.delete", "&Edit", "&Delete", "Erase Block",
                              sheet | kTakesSnapshot | kCancelsEntry,
                              [](Workspace& w, const CommandArgs& a) {
                                CellRange r;
                                if (!ReadRange(w, a.size() ? a[0] : SelectionArg(w), r))
                                  return Status::Beep();
                                EraseRange(Doc(w), r);
                                return Status::Ok();
                              }));
  erase.shortcut = "Ctrl+D";
  Command& word = t.Add(MakeCommand("edit.word", "&Edit", "&Word...", "Simple Word Processor",
                             sheet | kCancelsEntry, nullptr));
  word.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kWord, 0); };
  // The word tool's "&Ok": its lines as the arguments.
  t.Add(MakeCommand("edit.word.apply", "", "", "", sheet | kTakesSnapshot | kCancelsEntry,
             [](Workspace& w, const CommandArgs& a) {
               return ApplyWordTool(Doc(w), Active(w).SelectionRange(), a.values);
             }));
  Command& find = t.Add(MakeCommand("edit.find", "&Edit", "&Find/Replace...", "Search for string",
                             sheet, nullptr));
  find.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kFind, 0); };
  // The dialog's buttons. A failed search (the end of the scope) beeps;
  // the circular guard shows its message.
  t.Add(MakeCommand("edit.find.next", "", "", "", sheet | kCancelsEntry,
             [](Workspace& w, const CommandArgs&) { return w.find().Find(Active(w)); }));
  t.Add(MakeCommand("edit.find.replace", "", "", "", sheet | kTakesSnapshot | kCancelsEntry,
             [](Workspace& w, const CommandArgs&) { return w.find().Replace(Active(w)); }));
  t.Add(MakeCommand("edit.find.all", "", "", "", sheet | kTakesSnapshot | kCancelsEntry,
             [](Workspace& w, const CommandArgs&) {
               Status s = w.find().ReplaceAll(Active(w));
               // Reaching the end is how Replace All finishes, not a failure.
               return s.message().empty() ? Status::Ok() : s;
             }));
}

void ViewCommands(CommandTable& t) {
  const unsigned sheet = kNeedsSheet;
  auto bar = [&](const char* id, const char* caption, Bar which) {
    Command& c = t.Add(MakeCommand(id, "&View", caption, "", kCheckable,
                            [which](Workspace& w, const CommandArgs&) {
                              bool& on = which == Bar::kQuick ? w.config().quickBar
                                                              : w.config().statusBar;
                              on = !on;
                              w.view().BarsChanged();
                              return Status::Ok();
                            }));
    c.checked = [which](const Workspace& w) {
      return which == Bar::kQuick ? w.config().quickBar : w.config().statusBar;
    };
  };
  bar("view.quickbar", "Show &Quick Buttons", Bar::kQuick);
  bar("view.statusbar", "Show &Status Bar", Bar::kStatus);
  Macro(t.Add(MakeCommand("view.bars", "", "", "", 0,
                   [](Workspace& w, const CommandArgs& a) {
                     // "Q1M0S1": each bar letter present is followed by its state.
                     const std::string& s = a[0];
                     for (std::size_t i = 0; i < s.size(); ++i) {
                       char c = UpperChar(s[i]);
                       bool on = i + 1 < s.size() && s[i + 1] == '1';
                       if (c == 'Q') w.config().quickBar = on;
                       else if (c == 'M') w.config().macroBar = on;
                       else if (c == 'S') w.config().statusBar = on;
                     }
                     w.view().BarsChanged();
                     return Status::Ok();
                   })),
        'v', 'v');
  const char* split = "&View/S&plit Current Window";
  struct SplitItem {
    const char* id;
    const char* caption;
    int mode;  // 1 horizontal, 2 vertical, 0 clear, -1 synch, -2 unsynch
  };
  for (SplitItem s : {SplitItem{"view.split.horizontal", "&Horizontal", 1},
                      SplitItem{"view.split.vertical", "&Vertical", 2},
                      SplitItem{"view.split.synch", "&Synch", -1},
                      SplitItem{"view.split.unsynch", "&Unsynch", -2},
                      SplitItem{"view.split.clear", "&Clear", 0}}) {
    int mode = s.mode;
    t.Add(MakeCommand(s.id, split, s.caption, "", sheet, [mode](Workspace& w, const CommandArgs&) {
      SheetWindow& a = Active(w);
      if (mode == -1 || mode == -2) {
        a.synchronised = mode == -1;
      } else {
        if (mode != 0 && !a.split()) a.pane(1) = a.pane(0);
        a.SetSplit(mode != 0);
        if (mode != 0) a.splitDirection = mode;
        w.view().LayoutChanged();
      }
      return Status::Ok();
    }));
  }
  const char* borders = "&View/Set Window &Borders";
  struct TitleItem {
    const char* id;
    const char* caption;
    int mode;
  };
  for (TitleItem s : {TitleItem{"view.titles.horizontal", "&Horizontal", 1},
                      TitleItem{"view.titles.vertical", "&Vertical", 2},
                      TitleItem{"view.titles.both", "&Both", 3},
                      TitleItem{"view.titles.clear", "&Clear", 0}}) {
    int mode = s.mode;
    t.Add(MakeCommand(s.id, borders, s.caption, "", sheet, [mode](Workspace& w, const CommandArgs&) {
      Active(w).SetTitles(mode);
      return Status::Ok();
    }));
  }
  for (int tag = 1; tag <= 8; ++tag) {
    Command& c = t.Add(MakeCommand("view.zoom." + std::to_string(tag), "&View/&Zoom",
                            kZoomCaptions[static_cast<std::size_t>(tag - 1)], "", kCheckable,
                            [tag](Workspace& w, const CommandArgs&) {
                              w.SetZoomPercent(ZoomForTag(tag));
                              return Status::Ok();
                            }));
    c.checked = [tag](const Workspace& w) { return w.zoom() == ZoomForTag(tag); };
  }
  Macro(t.Add(MakeCommand("view.zoom", "", "", "", 0,
                   [](Workspace& w, const CommandArgs& a) {
                     w.SetZoomPercent(ReadInt(a[0], 100));
                     return Status::Ok();
                   })),
        'v', 'z');
}

void GeneralCommands(CommandTable& t) {
  for (int i = 0; i < kGeneralPageCount; ++i) {
    Command& c = t.Add(MakeCommand("sheet.general." + std::to_string(i), "&Sheet/&General...",
                            kGeneralPageCaptions[i], "Set General Features for Worksheet",
                            kNeedsSheet | kCancelsEntry, nullptr));
    c.invoke = [i](Workspace& w) {
      w.general().Activate();
      w.view().ShowDialog(DialogKind::kGeneral, i);
    };
  }
  // The macro commands change the settings as the dialog would and confirm.
  auto general = [&](const char* id, char letter,
                     std::function<Status(Workspace&, const CommandArgs&)> fn, GeneralPage page) {
    Macro(t.Add(MakeCommand(id, "", "", "", kNeedsSheet,
                     [fn, page](Workspace& w, const CommandArgs& a) {
                       w.general().Activate();
                       Status s = fn(w, a);
                       if (s) w.general().Ok(page);
                       else w.general().Cancel();
                       return s;
                     })),
          'h', letter);
  };
  general("general.format", 'f', [](Workspace& w, const CommandArgs& a) {
    std::uint8_t code = ParseFormatCode(a[0].substr(0, 8));
    if (code == kFormatUseDefault) return Status::Beep();
    w.general().defaultFormat = code;
    return Status::Ok();
  }, GeneralPage::kFormat);
  general("general.option", 'o', [](Workspace& w, const CommandArgs& a) {
    return w.general().ApplyOptionText(a[0]);
  }, GeneralPage::kOption);
  general("general.font", 't', [](Workspace& w, const CommandArgs& a) {
    return w.general().ApplyFontText(a[0]);
  }, GeneralPage::kTypeface);
  general("general.advanced", 'a', [](Workspace& w, const CommandArgs& a) {
    return w.general().ApplyAdvancedText(a[0]);
  }, GeneralPage::kAdvanced);
  general("general.color", 'c', [](Workspace& w, const CommandArgs& a) {
    int which = ReadInt(a[0]);
    if (which < 0 || which >= kColourTypes) return Status::Beep();
    int mode = ReadInt(a[3]);
    std::uint32_t word = (static_cast<std::uint32_t>(ReadInt(a[1]) & 0x0F) << 24) +
                         (static_cast<std::uint32_t>(ReadInt(a[2])) & 0xFFFFFFu);
    if (mode == 1 || mode == 3) word |= 0x80000000u;
    if (mode == 2 || mode == 3) word |= 0x40000000u;
    Doc(w).extras().colours[static_cast<std::size_t>(
        ColourWordIndex(static_cast<ColourType>(which)))] = word;
    return Status::Ok();
  }, GeneralPage::kColor);
}

void SheetCommands(CommandTable& t) {
  GeneralCommands(t);
  const unsigned block = kNeedsSheet | kTakesSnapshot | kCancelsEntry;
  struct Entry {
    const char* id;
    const char* menu;
    const char* caption;
    const char* hint;
    SheetCommand command;
  };
  const Entry entries[] = {
      {"sheet.insert.pagebreak", "&Sheet/&Insert", "&Page Break",
       "Insert a Page Break/Row at current Pos", SheetCommand::kInsertPageBreak},
      {"sheet.insert.row", "&Sheet/&Insert", "&Row", "Insert a Row at Cursor Pos.",
       SheetCommand::kInsertRows},
      {"sheet.insert.column", "&Sheet/&Insert", "&Column", "Insert Col(s) at cursor pos.",
       SheetCommand::kInsertColumns},
      {"sheet.insert.across", "&Sheet/&Insert", "&Across Row", "", SheetCommand::kInsertAcross},
      {"sheet.delete.row", "&Sheet/&Delete", "&Row", "", SheetCommand::kDeleteRows},
      {"sheet.delete.column", "&Sheet/&Delete", "&Column", "", SheetCommand::kDeleteColumns},
      {"sheet.delete.across", "&Sheet/&Delete", "&Across Row", "", SheetCommand::kDeleteAcross},
  };
  for (const Entry& e : entries) {
    SheetCommand command = e.command;
    t.Add(MakeCommand(e.id, e.menu, e.caption, e.hint, block,
               [command](Workspace& w, const CommandArgs& a) {
                 CellRange r;
                 if (!ReadRange(w, a.size() ? a[0] : SelectionArg(w), r)) return Status::Beep();
                 return FromBlock(w, RunSheetCommand(Doc(w), command, r,
                                                     Active(w).CursorCell().col));
               }));
  }
  Command& cw = t.Add(MakeCommand("sheet.colwidth", "&Sheet", "&Colwidth...", "", kNeedsSheet, nullptr));
  cw.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kColumnWidth, 0); };
  Command& rh = t.Add(MakeCommand("sheet.rowheight", "&Sheet", "&Rowheight...", "", kNeedsSheet, nullptr));
  rh.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kRowHeight, 0); };
  Command& audit = t.Add(MakeCommand("sheet.audit", "&Sheet", "&Audit...", "", kNeedsSheet, nullptr));
  audit.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kAudit, 0); };
}

void RangeCommands(CommandTable& t) {
  const unsigned block = kNeedsSheet | kTakesSnapshot | kCancelsEntry;
  // Copy... asks for the two ranges on the input line, as the menu bar's
  // Copy does.
  Command& copyItem = t.Add(MakeCommand("range.copyto", "&Range", "&Copy...", "", kNeedsSheet, nullptr));
  copyItem.invoke = [](Workspace& w) {
    AskTwoRanges(w, kCopyFromPrompt, kCopyToPrompt, "copy");
  };
  struct CopyItem {
    const char* id;
    const char* caption;
    ValueCopyMode mode;
    char letter;
  };
  for (CopyItem c : {CopyItem{"range.copy.value", "&Value", ValueCopyMode::kValue, 'v'},
                     CopyItem{"range.copy.transpose", "&Transpose", ValueCopyMode::kTranspose, 't'},
                     CopyItem{"range.copy.scale", "&Scale", ValueCopyMode::kScale, 's'},
                     CopyItem{"range.copy.invert", "&Invert", ValueCopyMode::kInvert, 'i'}}) {
    ValueCopyMode mode = c.mode;
    Command& cmd = t.Add(MakeCommand(c.id, "&Range/&Copy", c.caption, "", block,
                              [mode](Workspace& w, const CommandArgs& a) {
                                CellRange from, to;
                                if (!ReadRange(w, a[0], from) || !ReadRange(w, a[1], to))
                                  return Status::Beep();
                                double factor = 2.0;
                                if (mode == ValueCopyMode::kScale) {
                                  std::optional<double> f = ParseScaleFactor(Doc(w), a[2]);
                                  if (!f) return Status::Beep();
                                  factor = *f;
                                }
                                return FromBlock(w, CopyValues(Doc(w), from, to, mode, factor));
                              }));
    Macro(cmd, 'c', c.letter);
    std::string id = c.id;
    cmd.invoke = [mode, id](Workspace& w) {
      w.AskRange(ValueCopyPrompt(mode), [&w, mode, id](const CellRange& from) {
        if (!from.IsDefined()) return w.host().Beep();
        std::string fromText = RangeArg(w, from);
        w.AskRange(kOutputPrompt, [&w, mode, id, fromText](const CellRange& to) {
          if (!to.IsDefined()) return w.host().Beep();
          std::string factor;
          if (mode == ValueCopyMode::kScale) {
            auto text = w.host().InputBox("Scale", "Scale factor:", "2");
            if (!text) return;  // cancelled
            factor = *text;
          }
          w.Execute(id, {fromText, RangeArg(w, to), factor});
        });
      });
    };
  }
  // Formula copy is the ordinary copy from a macro's point of view.
  Command& formula = t.Add(MakeCommand("range.copy.formula", "&Range/&Copy", "&Formula", "", block,
                                [](Workspace& w, const CommandArgs& a) {
                                  CellRange from, to;
                                  if (!ReadRange(w, a[0], from) || !ReadRange(w, a[1], to))
                                    return Status::Beep();
                                  return FromBlock(w, CopyRange(Doc(w), from, to));
                                }));
  formula.invoke = [](Workspace& w) {
    AskTwoRanges(w, kCopyFromPrompt, kCopyToPrompt, "range.copy.formula");
  };
  Macro(formula, 'c', 'f');
  t.Add(MakeCommand("range.erase", "&Range", "&Erase", "", block, [](Workspace& w, const CommandArgs& a) {
    CellRange r;
    if (!ReadRange(w, a.size() ? a[0] : SelectionArg(w), r)) return Status::Beep();
    EraseRange(Doc(w), r);
    return Status::Ok();
  }));
  Command& names = t.Add(MakeCommand("range.name", "&Range", "&Name ...", "", kNeedsSheet | kCancelsEntry,
                              nullptr));
  names.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kNames, 0); };
  Command& justify = t.Add(MakeCommand("range.justify", "&Range", "&Justify ...", "", block,
                                [](Workspace& w, const CommandArgs& a) {
                                  CellRange r;
                                  if (!ReadRange(w, a[0], r)) return Status::Beep();
                                  int width = ReadInt(a[1], JustifyWidthPreset(Doc(w), r));
                                  bool pad = ReadInt(a[2]) != 0;
                                  FontSpec font = JustifyFont(w, r);
                                  MeasureText measure = [&w, font](std::string_view text) {
                                    return w.view().TextWidth(font, text);
                                  };
                                  return Justify(Doc(w), r, width, pad, measure) ? Status::Ok()
                                                                                 : Failed(w);
                                }));
  justify.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kJustify, 0); };
  Macro(justify, 'b', 'j');
  for (int i = 0; i < kPropertyPageCount; ++i) {
    Command& c = t.Add(MakeCommand("range.properties." + std::to_string(i), "&Range",
                            kPropertyTabCaptions[i], "",
                            kNeedsSheet | (i == 0 ? kSeparatorBefore : 0u), nullptr));
    c.invoke = [i](Workspace& w) { w.view().ShowDialog(DialogKind::kProperties, i); };
  }

  // The Range family of the macro language.
  Macro(t.Add(MakeCommand("range.format", "", "", "", block,
                   [](Workspace& w, const CommandArgs& a) {
                     CellRange r;
                     if (!ReadRange(w, a[0], r)) return Status::Beep();
                     std::string code = a[1].substr(0, 8);
                     if (!ApplyFormatEntry(Doc(w), r, code)) return Status::Beep();
                     return Status::Ok();
                   })),
        'b', 'f');
  Macro(t.Add(MakeCommand("range.create", "", "", "", kNeedsSheet,
                   [](Workspace& w, const CommandArgs& a) {
                     std::string rangeText = a[1].empty() ? SelectionArg(w) : a[1];
                     return CreateName(Doc(w), a[0].substr(0, 8), rangeText) ? Status::Ok()
                                                                             : Failed(w);
                   })),
        'b', 'n');
  Macro(t.Add(MakeCommand("range.delete", "", "", "", kNeedsSheet,
                   [](Workspace& w, const CommandArgs& a) {
                     return DeleteName(Doc(w), a[0].substr(0, 8)) ? Status::Ok() : Failed(w);
                   })),
        'b', 'd');
  Macro(t.Add(MakeCommand("range.build", "", "", "", kNeedsSheet,
                   [](Workspace& w, const CommandArgs& a) {
                     CellRange r;
                     if (!ReadRange(w, a[0], r)) return Status::Beep();
                     BuildNames(Doc(w), r);
                     return Status::Ok();
                   })),
        'b', 'b')
      .invoke = [](Workspace& w) { AskOneRange(w, "BUILD: FROM Range", "range.build"); };
  Macro(t.Add(MakeCommand("range.table", "", "", "", block,
                   [](Workspace& w, const CommandArgs& a) {
                     CellRange r;
                     if (!ReadRange(w, a[0], r)) return Status::Beep();
                     return WriteNameTable(Doc(w), r.Top(), r.Left()) ? Status::Ok() : Failed(w);
                   })),
        'b', 't')
      .invoke = [](Workspace& w) { AskOneRange(w, "TABLE: To Range", "range.table"); };
  Macro(t.Add(MakeCommand("range.colour", "", "", "", block,
                   [](Workspace& w, const CommandArgs& a) {
                     CellRange r;
                     if (!ReadRange(w, a[0], r)) return Status::Beep();
                     std::uint32_t word = (static_cast<std::uint32_t>(ReadInt(a[1])) << 24) +
                                          static_cast<std::uint32_t>(ReadInt(a[2]));
                     return EachCellOf(w, r, [word](CellRecord& c) { c.colour = word; });
                   })),
        'b', 'c');
  Macro(t.Add(MakeCommand("range.lock", "", "", "", block,
                   [](Workspace& w, const CommandArgs& a) {
                     CellRange r;
                     if (!ReadRange(w, a[0], r)) return Status::Beep();
                     std::uint8_t lock = ReadInt(a[1]) != 0 ? kLockBit : 0;
                     return EachCellOf(w, r, [lock](CellRecord& c) {
                       c.format = static_cast<std::uint8_t>((c.format & kFormatMask) | lock);
                     });
                   })),
        'b', 'l');
  Macro(t.Add(MakeCommand("range.prefix", "", "", "", block,
                   [](Workspace& w, const CommandArgs& a) {
                     CellRange r;
                     if (!ReadRange(w, a[0], r)) return Status::Beep();
                     if (a[1].empty()) return Status::Ok();
                     char prefix = a[1][0];
                     if (prefix != '\'' && prefix != '^' && prefix != '"' && prefix != '\\')
                       return Status::Beep();
                     return EachLabelOf(w, r, [prefix](std::string& text) { text[0] = prefix; });
                   })),
        'b', 'p');
  Macro(t.Add(MakeCommand("range.case", "", "", "", block,
                   [](Workspace& w, const CommandArgs& a) {
                     CellRange r;
                     if (!ReadRange(w, a[0], r)) return Status::Beep();
                     int mode = ReadInt(a[1], -1);
                     if (mode < 0 || mode > 2) return Status::Beep();
                     return EachLabelOf(w, r, [mode](std::string& text) {
                       ChangeCase(text, 1, static_cast<LetterCase>(mode));
                     });
                   })),
        'b', 'e');
  Macro(t.Add(MakeCommand("range.reset", "", "", "", kNeedsSheet | kTakesSnapshot,
                   [](Workspace& w, const CommandArgs&) {
                     Doc(w).names().ResetNames();
                     Doc(w).settings().modified = true;
                     return Status::Ok();
                   })),
        'b', 'r');
}

void BarCommands(CommandTable& t) {
  const unsigned block = kNeedsSheet | kTakesSnapshot | kCancelsEntry;
  Command& copy = t.Add(MakeCommand("copy", "", "&Copy", "Copy Cells to Destination", block | kOnMenuBar,
                             [](Workspace& w, const CommandArgs& a) {
                               CellRange from, to;
                               if (!ReadRange(w, a[0], from) || !ReadRange(w, a[1], to))
                                 return Status::Beep();
                               return FromBlock(w, CopyRange(Doc(w), from, to));
                             }));
  copy.invoke = [](Workspace& w) { AskTwoRanges(w, kCopyFromPrompt, kCopyToPrompt, "copy"); };
  Command& move = t.Add(MakeCommand("move", "", "&Move", "Move Cells to Destination", block | kOnMenuBar,
                             [](Workspace& w, const CommandArgs& a) {
                               CellRange from, to;
                               if (!ReadRange(w, a[0], from) || !ReadRange(w, a[1], to))
                                 return Status::Beep();
                               return FromBlock(w, MoveRange(Doc(w), from, to));
                             }));
  move.invoke = [](Workspace& w) { AskTwoRanges(w, kMoveFromPrompt, kMoveToPrompt, "move"); };
}

void WindowCommands(CommandTable& t) {
  t.Add(MakeCommand("window.newview", "&Window", "&New View", "Create a new view of focused sheet",
             kNeedsSheet, [](Workspace& w, const CommandArgs&) { return w.NewView(); }));
  auto arrange = [&](const char* id, const char* caption, const char* hint, Arrangement how) {
    t.Add(MakeCommand(id, "&Window", caption, hint, 0, [how](Workspace& w, const CommandArgs&) {
      w.view().Arrange(how);
      return Status::Ok();
    }));
  };
  arrange("window.tile", "&Tile", "Tile windows", Arrangement::kTile);
  arrange("window.cascade", "&Cascade", "Layer windows", Arrangement::kCascade);
  arrange("window.arrange", "&Arrange Icons", "Rearrange minimized windows",
          Arrangement::kArrangeIcons);
  t.Add(MakeCommand("window.closeall", "&Window", "Close &All", "Close all open windows", 0,
             [](Workspace& w, const CommandArgs&) {
               w.CloseAll();
               return Status::Ok();
             }));
  // The manual and the tips are files installed with the program; the view
  // finds and shows them.
  Command& contents = t.Add(MakeCommand("help.contents", "&Help", "&Contents", "", 0, nullptr));
  contents.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kHelp, 0); };
  Command& tips = t.Add(MakeCommand("help.tips", "&Help", "T&ips...", "", 0, nullptr));
  tips.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kTips, 0); };
  Command& about = t.Add(MakeCommand("help.about", "&Help", "&About ...", "", 0, nullptr));
  about.invoke = [](Workspace& w) { w.view().ShowDialog(DialogKind::kAbout, 0); };
}

// The quick bar's commands that have no menu item.
void QuickCommands(CommandTable& t) {
  const unsigned attr = kNeedsSheet | kTakesSnapshot;
  t.Add(MakeCommand("quick.sum", "", "", "Speed @SUM", attr | kCancelsEntry,
             [](Workspace& w, const CommandArgs&) {
               auto entries = SpeedSumEntries(Doc(w), Active(w).SelectionRange());
               if (entries.empty()) return Status::Beep();
               for (const SumEntry& e : entries)
                 if (!EnterCell(Doc(w), e.formula, e.cell.row, e.cell.col).ok) return Failed(w);
               return Status::Ok();
             }));
  Command& lock = t.Add(MakeCommand("quick.protect", "", "", "Protect/Unprotect Sheet",
                             kNeedsSheet | kCheckable, [](Workspace& w, const CommandArgs&) {
                               bool& p = Doc(w).settings().protect;
                               p = !p;
                               Doc(w).settings().modified = true;
                               w.input().CursorMoved();
                               return Status::Ok();
                             }));
  lock.checked = [](const Workspace& w) {
    return w.active() != nullptr && w.active()->document().settings().protect;
  };
  for (auto [id, alignment] : {std::pair{"quick.left", 1}, std::pair{"quick.center", 3},
                               std::pair{"quick.right", 2}}) {
    int a = alignment;
    t.Add(MakeCommand(id, "", "", "", attr, [a](Workspace& w, const CommandArgs&) {
      return OnSelection(w, [a](SheetDocument& d, const CellRange& r) { ApplyAlignment(d, r, a); });
    }));
  }
  for (auto [id, bit] : {std::pair{"quick.bold", StyleBit::Bold},
                         std::pair{"quick.italic", StyleBit::Italic},
                         std::pair{"quick.underline", StyleBit::Underline}}) {
    StyleBit b = bit;
    t.Add(MakeCommand(id, "", "", "", attr, [b](Workspace& w, const CommandArgs&) {
      return OnSelection(w, [b](SheetDocument& d, const CellRange& r) { ToggleStyle(d, r, b); });
    }));
  }
  // The pickers work on an open entry only.
  for (auto [id, kind] : {std::pair{"quick.funcpick", DialogKind::kFunctionPick},
                          std::pair{"quick.macropick", DialogKind::kMacroPick}}) {
    DialogKind k = kind;
    Command& c = t.Add(MakeCommand(id, "", "", "", kNeedsSheet, nullptr));
    c.invoke = [k](Workspace& w) {
      if (!w.input().entryOpen() || w.input().promptOpen()) {
        w.view().FocusLine(false);
        return;
      }
      w.view().ShowDialog(k, 0);
    };
  }
  // The selectors: a font number, a size in pixels, a format list entry.
  t.Add(MakeCommand("quick.font", "", "", "Font Type", attr, [](Workspace& w, const CommandArgs& a) {
    int n = std::clamp(ReadInt(a[0]), 0, kMaxFontNames - 1);
    return OnSelection(w, [n](SheetDocument& d, const CellRange& r) {
      ApplyFont(d, r, static_cast<std::uint8_t>(n));
    });
  }));
  t.Add(MakeCommand("quick.size", "", "", "Font Size", attr, [](Workspace& w, const CommandArgs& a) {
    int px = std::clamp(ReadInt(a[0], 14), 1, 255);
    return OnSelection(w, [px](SheetDocument& d, const CellRange& r) { ApplyFontSize(d, r, px); });
  }));
  t.Add(MakeCommand("quick.format", "", "", "Speed Format", attr, [](Workspace& w, const CommandArgs& a) {
    if (!ApplyFormatEntry(Doc(w), Active(w).SelectionRange(), a[0])) return Status::Beep();
    Doc(w).settings().modified = true;
    return Status::Ok();
  }));
}

}  // namespace

void RegisterWorkspaceCommands(Workspace& ws) {
  CommandTable& t = ws.commands_;
  FileCommands(ws, t);
  EditCommands(t);
  ViewCommands(t);
  SheetCommands(t);
  RangeCommands(t);
  BarCommands(t);
  WindowCommands(t);
  QuickCommands(t);

  ws.quickBar_ = {
      {"file.open", "Open", "Open Worksheet"},
      {"file.save", "Save", "Save Worksheet"},
      {"edit.cut", "Cut", "Cut Text", true},
      {"edit.copy", "Copy", "Copy Text"},
      {"edit.paste", "Paste", "Paste Text"},
      {"edit.delete", "Erase", "Erase Range"},
      {"quick.sum", "@SUM", "Speed @SUM"},
      {"quick.funcpick", "@", "Function Pick"},
      {"quick.macropick", "{", "Macro Pick"},
      {"edit.word", "Word", "Text Processor"},
      {"edit.find", "Find", "Find & Replace Text"},
      {"quick.protect", "Lock", "Protect/Unprotect Sheet"},
      {"quick.left", "Left", "Left Justify", true},
      {"quick.center", "Center", "Center"},
      {"quick.right", "Right", "Right Justify"},
      {"quick.bold", "B", "Bold"},
      {"quick.italic", "I", "Italic"},
      {"quick.underline", "U", "Underline"},
  };
  ws.gridMenu_ = {
      {"range.properties.0", "&Properties", ""},
      {"edit.cut", "Cu&t\tCtrl+X", "", true},
      {"edit.copy", "&Copy\tCtrl+C", ""},
      {"edit.paste", "&Paste\tCtrl+V", ""},
      {"edit.delete", "&Delete\tCtrl+D", ""},
      {"move", "&Move", "Move Cells to Destination", true},
      {"copy", "Copy t&o", "Copy Cells to Destination"},
  };
}

}  // namespace tabulon
