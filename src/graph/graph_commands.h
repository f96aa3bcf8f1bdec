// Commands on a worksheet's graph settings: the graph macro commands with
// the arguments the macro interpreter has read, Reset (Graph > Clear), and
// Quick Graph. All act on the document's current graph record.
#pragma once

#include <string>
#include <string_view>

#include "sheet/address.h"
#include "ui/status.h"

namespace tabulon {

class SheetDocument;

// Graph > Clear: the current record back to its reset values.
void ResetGraph(SheetDocument& doc);

// GRAPHSERIES: n 0 sets the X range, 1..6 a series range; other n are
// ignored. A range text that does not parse raises the error channel
// (without a message) and changes nothing; returns false then.
bool GraphSeriesCommand(SheetDocument& doc, int n, std::string_view range);
void GraphSeriesCommand(SheetDocument& doc, int n, const CellRange& range);
// GRAPHLABEL: a series' (1..6) data-label range and location (1..5).
bool GraphLabelCommand(SheetDocument& doc, int series, std::string_view range, int location);
void GraphLabelCommand(SheetDocument& doc, int series, const CellRange& range, int location);
// GRAPHLEGEND: the series' legend becomes the first 19 characters of the
// text; the last argument is read and not used.
void GraphLegendCommand(SheetDocument& doc, int series, std::string_view text, int unused = 0);
// GRAPHHEADING: n 0..3 main, second, X-axis or Y-axis heading, the first
// 39 characters of the text.
void GraphHeadingCommand(SheetDocument& doc, int n, std::string_view text);
// GRAPHNAME: action 0 create or replace, 1 use, 2 delete the named graph
// (name upper-cased). Creating an eleventh fails with "Named Graphs>10".
Status GraphNameCommand(SheetDocument& doc, int action, std::string_view name);
// GRAPHTYPE: family 2 picks a 2D type by the first letter of X, B, P, S, L,
// M, H, R, A, D, O, C; any other family a 3D type from S, P, D, W, B, T. A
// letter not in the list leaves the type.
void GraphTypeCommand(SheetDocument& doc, int family, std::string_view letter);
// GRAPHSCALE: axis 0 (X) or 1 (Y); items separated by ",", each a letter
// and its value: A automatic, M manual, L lower limit, U upper limit, K
// step, D minor divisions, E logarithmic, N normal, F number format.
// Unreadable items are skipped.
void GraphScaleCommand(SheetDocument& doc, int axis, std::string_view items);
// GRAPHOPTIONS: target 1..6 sets a series (F fore, B back, O display, H
// hatch, M marker, S line style, T thickness, each with a number counted
// from 0); any other target the general options (G with N, H, V or B; S
// solid and D dotted grid lines; I inside and O outside colour).
void GraphOptionsCommand(SheetDocument& doc, int target, std::string_view items);
// GRAPHFONT: item 0..6 and "face,size,style letters,colour".
void GraphFontCommand(SheetDocument& doc, int item, std::string_view text);

// Quick Graph over a selection. At least two rows and two columns: the
// record is reset, the first column becomes the X range and each further
// column (up to six) a series over the same rows, and the result is kept as
// the next automatic name; success means the caller opens the graph
// window. A smaller selection fails with a beep; with ten named graphs it
// fails with "Max Graphs Exceeded" and the record stays as it was.
Status QuickGraph(SheetDocument& doc, const CellRange& selection);

// One graph command written the way a macro writes it, "{KEYWORD args}",
// arguments separated by blanks or commas, text in double quotes (the
// batch tool's scripts use this). Returns false with a message when the
// line is not a graph command or its arguments are missing.
bool RunGraphCommandText(SheetDocument& doc, std::string_view line, std::string& message);

}  // namespace tabulon
