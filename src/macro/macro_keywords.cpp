#include "macro/macro_keywords.h"

#include <initializer_list>

#include "base/text.h"
#include "macro/macro_stream.h"

namespace tabulon {
namespace {

constexpr MacroKeyword K(std::string_view word, int argCount,
                         std::initializer_list<std::uint8_t> bytes) {
  MacroKeyword k{word, static_cast<std::int16_t>(argCount), 0, {}};
  for (std::uint8_t b : bytes) k.bytes[k.length++] = b;
  return k;
}

constexpr int R = kRepeatCount;

// A few entries are odd and kept so: CLRSCR, GOTOXY and BREAKOFF expand to
// codes that no command handles (they stop the macro with a syntax error),
// BREAKON shares PLAYWAVE's code, ANCHOR declares no argument although the
// command reads one, and ABS and NAME are the same key.
constexpr std::array<MacroKeyword, kMacroKeywordCount> kKeywords = {{
    K("?", 0, {kMacroCommand, kMacroCmdKey, kMacroKeyWait}),
    K("ABS", 0, {kMacroKeyName}),
    K("ALT", 0, {kMacroKeyAlt}),
    K("ANCHOR", 0, {kMacroCommand, kMacroCmdAnchor}),
    K("APPEND", 2, {kMacroCommand, kMacroFileCommand, kMacroFileAppend}),
    K("BEEP", R, {kMacroCommand, kMacroCmdBeep}),
    K("BLANK", 1, {kMacroCommand, kMacroCmdBlank}),
    K("BLOCKCASE", 2, {kMacroCommand, kMacroMenuRange, 'e'}),
    K("BORDER", 2, {kMacroCommand, kMacroCmdBorder}),
    K("BS", R, {kMacroKeyBackspace}),
    K("CALC", 0, {kMacroKeyCalc}),
    K("CALL", 1, {kMacroCommand, kMacroCmdCall}),
    K("CHDIR", 1, {kMacroCommand, kMacroFileCommand, kMacroFileChangeDir}),
    K("CLOSE", 1, {kMacroCommand, kMacroFileCommand, kMacroFileClose}),
    K("CLRSCR", 0, {kMacroCommand, kMacroCmdClearScreen}),
    K("COLWIDTH", 2, {kMacroCommand, kMacroCmdColWidth}),
    K("COPY", 2, {kMacroCommand, kMacroCmdCopy}),
    K("COPYFORM", 2, {kMacroCommand, kMacroMenuCopy, 'f'}),
    K("COPYINV", 2, {kMacroCommand, kMacroMenuCopy, 'i'}),
    K("COPYSCALE", 3, {kMacroCommand, kMacroMenuCopy, 's'}),
    K("COPYTRANS", 2, {kMacroCommand, kMacroMenuCopy, 't'}),
    K("COPYVAL", 2, {kMacroCommand, kMacroMenuCopy, 'v'}),
    K("DATABIN", 2, {kMacroCommand, kMacroMenuData, 'b'}),
    K("DATAFILL", 5, {kMacroCommand, kMacroMenuData, 'f'}),
    K("DATAGOAL", 4, {kMacroCommand, kMacroMenuData, 'g'}),
    K("DATAMULREG", 4, {kMacroCommand, kMacroMenuData, 'm'}),
    K("DATAPARSE", 1, {kMacroCommand, kMacroMenuData, 'p'}),
    K("DATAQUERY", 3, {kMacroCommand, kMacroMenuData, 'q'}),
    K("DATAREGRESS", 3, {kMacroCommand, kMacroMenuData, 'r'}),
    K("DATASORT", 5, {kMacroCommand, kMacroMenuData, 's'}),
    K("DATATABLE", 3, {kMacroCommand, kMacroMenuData, 't'}),
    K("DEL", R, {kMacroKeyDelete}),
    K("DELAY", 1, {kMacroCommand, kMacroCmdDelay}),
    K("DELETECOL", 1, {kMacroCommand, kMacroCmdDeleteCol}),
    K("DELETEROW", 1, {kMacroCommand, kMacroCmdDeleteRow}),
    K("DN", R, {kMacroKeyDown}),
    K("EDIT", 0, {kMacroKeyEdit}),
    K("EDITCOPY", 1, {kMacroCommand, kMacroMenuEdit, 'c'}),
    K("EDITCUT", 1, {kMacroCommand, kMacroMenuEdit, 't'}),
    K("EDITPASTE", 1, {kMacroCommand, kMacroMenuEdit, 'p'}),
    K("END", 0, {kMacroKeyEnd}),
    K("ESC", R, {kMacroKeyEscape}),
    K("EXIT", R, {kMacroCommand, kMacroCmdExit}),
    K("FILECLOSE", 1, {kMacroCommand, kMacroMenuFile, 'c'}),
    K("FILEDOC", 2, {kMacroCommand, kMacroMenuFile, 'd'}),
    K("FILEEXIT", 1, {kMacroCommand, kMacroMenuFile, 'e'}),
    K("FILEEXPORT", 3, {kMacroCommand, kMacroMenuFile, 'x'}),
    K("FILEFOCUS", 1, {kMacroCommand, kMacroMenuFile, 'f'}),
    K("FILEIMPORT", 2, {kMacroCommand, kMacroMenuFile, 'i'}),
    K("FILEMERGE", 3, {kMacroCommand, kMacroMenuFile, 'm'}),
    K("FILENEW", 0, {kMacroCommand, kMacroMenuFile, 'n'}),
    K("FILEOPEN", 1, {kMacroCommand, kMacroMenuFile, 'o'}),
    K("FILEPICK", 3, {kMacroCommand, kMacroMenuFile, 'p'}),
    K("FILESAVE", 0, {kMacroCommand, kMacroMenuFile, 's'}),
    K("FILESAVEAS", 2, {kMacroCommand, kMacroMenuFile, 'a'}),
    K("FOR", 4, {kMacroCommand, kMacroCmdFor}),
    K("GENADV", 1, {kMacroCommand, kMacroMenuGeneral, 'a'}),
    K("GENCOLOR", 4, {kMacroCommand, kMacroMenuGeneral, 'c'}),
    K("GENFONT", 1, {kMacroCommand, kMacroMenuGeneral, 't'}),
    K("GENFORMAT", 1, {kMacroCommand, kMacroMenuGeneral, 'f'}),
    K("GENOPTION", 1, {kMacroCommand, kMacroMenuGeneral, 'o'}),
    K("GET", 1, {kMacroCommand, kMacroCmdKey, kMacroKeyGet}),
    K("GOTO", 1, {kMacroCommand, kMacroCmdGoto}),
    K("GOTOXY", 2, {kMacroCommand, kMacroCmdGotoXY}),
    K("GRAPH", 0, {kMacroKeyGraph}),
    K("GRAPHFONT", 2, {kMacroCommand, kMacroMenuGraph, 'f'}),
    K("GRAPHHEADING", 2, {kMacroCommand, kMacroMenuGraph, 'h'}),
    K("GRAPHLABEL", 3, {kMacroCommand, kMacroMenuGraph, 'l'}),
    K("GRAPHLEGEND", 3, {kMacroCommand, kMacroMenuGraph, 'g'}),
    K("GRAPHNAME", 2, {kMacroCommand, kMacroMenuGraph, 'n'}),
    K("GRAPHOPTIONS", 1, {kMacroCommand, kMacroMenuGraph, 'o'}),
    K("GRAPHSCALE", 1, {kMacroCommand, kMacroMenuGraph, 'c'}),
    K("GRAPHSERIES", 2, {kMacroCommand, kMacroMenuGraph, 's'}),
    K("GRAPHTYPE", 1, {kMacroCommand, kMacroMenuGraph, 't'}),
    K("GRAPHVIEW", 2, {kMacroCommand, kMacroMenuGraph, 'v'}),
    K("HELP", 0, {kMacroKeyHelp}),
    K("HOME", 0, {kMacroKeyHome}),
    K("IF", 1, {kMacroCommand, kMacroCmdIf}),
    K("INKEY", 1, {kMacroCommand, kMacroCmdKey, kMacroKeyGet}),
    K("INLABEL", 2, {kMacroCommand, kMacroCmdInLabel}),
    K("INRANGE", 2, {kMacroCommand, kMacroCmdInRange}),
    K("INS", 0, {kMacroKeyInsert}),
    K("INSERTCOL", 1, {kMacroCommand, kMacroCmdInsertCol}),
    K("INSERTROW", 1, {kMacroCommand, kMacroCmdInsertRow}),
    K("INVALUE", 2, {kMacroCommand, kMacroCmdInValue}),
    K("JUMP", 1, {kMacroCommand, kMacroCmdJump}),
    K("LET", 2, {kMacroCommand, kMacroCmdLet}),
    K("LT", R, {kMacroKeyLeft}),
    K("MATADD", 3, {kMacroCommand, kMacroMenuArray, 'a'}),
    K("MATDET", 2, {kMacroCommand, kMacroMenuArray, 'd'}),
    K("MATINV", 2, {kMacroCommand, kMacroMenuArray, 'i'}),
    K("MATLIN", 2, {kMacroCommand, kMacroMenuArray, 'l'}),
    K("MATMLT", 3, {kMacroCommand, kMacroMenuArray, 'm'}),
    K("MATSLV", 2, {kMacroCommand, kMacroMenuArray, 'e'}),
    K("MATSUB", 3, {kMacroCommand, kMacroMenuArray, 's'}),
    K("MENUCALL", 1, {kMacroCommand, kMacroCmdMenuCall}),
    K("MENUJUMP", 1, {kMacroCommand, kMacroCmdMenuJump}),
    K("MKDIR", 1, {kMacroCommand, kMacroFileCommand, kMacroFileMakeDir}),
    K("MOVE", 2, {kMacroCommand, kMacroCmdMove}),
    K("NAME", 0, {kMacroKeyName}),
    K("NEXT", 0, {kMacroCommand, kMacroCmdNext}),
    K("ONERROR", 1, {kMacroCommand, kMacroCmdOnError}),
    K("OPEN", 2, {kMacroCommand, kMacroFileCommand, kMacroFileOpen}),
    K("PGDN", R, {kMacroKeyPageDown}),
    K("PGLT", R, {kMacroKeyBigLeft}),
    K("PGRT", R, {kMacroKeyBigRight}),
    K("PGUP", R, {kMacroKeyPageUp}),
    K("PLAYWAVE", 2, {kMacroCommand, kMacroCmdPlayWave}),
    K("PRINTALL", 0, {kMacroCommand, kMacroMenuPrint, 'a'}),
    K("PRINTBORDER", 2, {kMacroCommand, kMacroMenuPrint, 'b'}),
    K("PRINTFILE", 2, {kMacroCommand, kMacroMenuPrint, 'n'}),
    K("PRINTFOOT", 2, {kMacroCommand, kMacroMenuPrint, 'f'}),
    K("PRINTGRAPH", 1, {kMacroCommand, kMacroMenuPrint, 'g'}),
    K("PRINTHEAD", 2, {kMacroCommand, kMacroMenuPrint, 'h'}),
    K("PRINTMARGIN", 1, {kMacroCommand, kMacroMenuPrint, 'm'}),
    K("PRINTOPTION", 1, {kMacroCommand, kMacroMenuPrint, 'o'}),
    K("PRINTRANGE", 1, {kMacroCommand, kMacroMenuPrint, 'r'}),
    K("QUIT", 0, {kMacroCommand, kMacroCmdQuit}),
    K("RANGEBUILD", 1, {kMacroCommand, kMacroMenuRange, 'b'}),
    K("RANGECOLOR", 3, {kMacroCommand, kMacroMenuRange, 'c'}),
    K("RANGECREATE", 3, {kMacroCommand, kMacroMenuRange, 'n'}),
    K("RANGEDELETE", 1, {kMacroCommand, kMacroMenuRange, 'd'}),
    K("RANGEFORMAT", 2, {kMacroCommand, kMacroMenuRange, 'f'}),
    K("RANGEJUSTIFY", 2, {kMacroCommand, kMacroMenuRange, 'j'}),
    K("RANGELOCK", 2, {kMacroCommand, kMacroMenuRange, 'l'}),
    K("RANGEPREFIX", 2, {kMacroCommand, kMacroMenuRange, 'p'}),
    K("RANGERESET", 0, {kMacroCommand, kMacroMenuRange, 'r'}),
    K("RANGETABLE", 1, {kMacroCommand, kMacroMenuRange, 't'}),
    K("RECALC", 1, {kMacroCommand, kMacroCmdRecalc}),
    K("RESTART", 0, {kMacroCommand, kMacroCmdRestart}),
    K("RET", R, {kMacroCommand, kMacroCmdReturn}),
    K("RMDIR", 2, {kMacroCommand, kMacroFileCommand, kMacroFileRemoveDir}),
    K("ROWHEIGHT", 2, {kMacroCommand, kMacroCmdRowHeight}),
    K("RT", R, {kMacroKeyRight}),
    K("TONE", 2, {kMacroCommand, kMacroCmdTone}),
    K("UNDO", 0, {kMacroCommand, kMacroCmdUndo}),
    K("UP", R, {kMacroKeyUp}),
    K("UPDATE", R, {kMacroCommand, kMacroCmdUpdate}),
    K("VIEW", 1, {kMacroCommand, kMacroMenuView, 'v'}),
    K("VIEWZOOM", 1, {kMacroCommand, kMacroMenuView, 'z'}),
    K("WHILE", 2, {kMacroCommand, kMacroCmdWhile}),
    K("WINDOW", 0, {kMacroKeyWindow}),
    K("WRITE", 1, {kMacroCommand, kMacroFileCommand, kMacroFileWrite}),
    K("WRITELN", 1, {kMacroCommand, kMacroFileCommand, kMacroFileWriteLine}),
    // Second run: synonyms and later additions.
    K("BACKSPACE", R, {kMacroKeyBackspace}),
    K("BIGLEFT", R, {kMacroKeyBigLeft}),
    K("BIGRIGHT", R, {kMacroKeyBigRight}),
    K("BRANCH", 1, {kMacroCommand, kMacroCmdJump}),
    K("BREAKOFF", R, {kMacroCommand, kMacroCmdBreakOff}),
    K("BREAKON", R, {kMacroCommand, kMacroCmdPlayWave}),
    K("D", R, {kMacroKeyDown}),
    K("DOWN", R, {kMacroKeyDown}),
    K("ESCAPE", 0, {kMacroKeyEscape}),
    K("GETLABEL", 2, {kMacroCommand, kMacroCmdInLabel}),
    K("GETNUMBER", 2, {kMacroCommand, kMacroCmdInValue}),
    K("L", R, {kMacroKeyLeft}),
    K("LEFT", R, {kMacroKeyLeft}),
    K("MENUBRANCH", 1, {kMacroCommand, kMacroCmdMenuJump}),
    K("R", R, {kMacroKeyRight}),
    K("RETURN", R, {kMacroCommand, kMacroCmdReturn}),
    K("RIGHT", R, {kMacroKeyRight}),
    K("U", R, {kMacroKeyUp}),
    K("XDN", R, {kMacroCommand, kMacroCmdCursorDown}),
}};

constexpr bool RunIsSorted(int first, int last) {
  for (int i = first + 1; i < last; ++i)
    if (!(kKeywords[i - 1].word < kKeywords[i].word)) return false;
  return true;
}
static_assert(RunIsSorted(0, kMacroKeywordFirstRun));
static_assert(RunIsSorted(kMacroKeywordFirstRun, kMacroKeywordCount));

// Binary search of kKeywords[first, last) for an upper-case word; the entry
// number or 0.
int SearchRun(std::string_view word, int first, int last) {
  while (first < last) {
    int mid = first + (last - first) / 2;
    int cmp = word.compare(kKeywords[mid].word);
    if (cmp == 0) return mid + 1;
    if (cmp < 0) last = mid;
    else first = mid + 1;
  }
  return 0;
}

}  // namespace

const MacroKeyword& MacroKeywordEntry(int number) { return kKeywords[number - 1]; }

int LookupMacroKeyword(std::string_view word) {
  if (word.empty() || word.size() > kMaxKeywordLength) return 0;
  char buffer[kMaxKeywordLength];
  for (std::size_t i = 0; i < word.size(); ++i) buffer[i] = UpperChar(word[i]);
  std::string_view upper(buffer, word.size());
  int found = SearchRun(upper, 0, kMacroKeywordFirstRun);
  if (found == 0) found = SearchRun(upper, kMacroKeywordFirstRun, kMacroKeywordCount);
  return found;
}

std::vector<std::string> MacroPickList() {
  std::vector<std::string> list;
  for (int i = 1; i <= 145; ++i) list.emplace_back(MacroKeywordEntry(i).word);
  return list;
}

}  // namespace tabulon
