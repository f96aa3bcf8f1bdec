// The array commands: ranges of the active sheet taken as matrices and the
// results written back as numbers; the Array menu and its macro commands.
#pragma once

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;
class Workspace;

enum class ArrayOperation { kAdd = 0, kSubtract, kMultiply, kTranspose, kInvert, kSolve,
                            kDeterminant, kLinear };
inline constexpr int kArrayOperationCount = 8;

// Runs one operation. `second` is used by Add, Subtract and Multiply only;
// the results go to the block whose top-left cell is the output's. Every
// input is read before anything is written, so an output that overlaps an
// input still gets the true result. A failure (the size limit, a singular
// matrix, a programme without a solution, an output past the sheet or
// under protection) is reported on the error channel and writes nothing.
// An undefined range is refused with no message.
bool RunArrayOperation(SheetDocument& doc, ArrayOperation op, const CellRange& first,
                       const CellRange& second, const CellRange& output);

// The Array menu (each item opens the array dialog on its page) and the
// commands "array.add", "array.subtract", "array.multiply" (first, second,
// output), "array.transpose", "array.invert", "array.solve",
// "array.determinant", "array.linear" (input, output), with the macro
// letters m a, m s, m m, m t, m i, m e, m d, m l. Each takes the undo
// snapshot first.
void RegisterArrayCommands(Workspace& ws);

// The command id of an operation.
const char* ArrayCommandId(ArrayOperation op);

}  // namespace tabulon
