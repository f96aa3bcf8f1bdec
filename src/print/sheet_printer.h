// Drawing a worksheet print job onto a print target: each page's border
// rows and columns and its rows painted by the worksheet window's own row
// painter at the print scale, then the header, the footer and the frame.
// A progress watcher sees every page and row and may abort the job.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/print_target.h"
#include "print/page_layout.h"

namespace tabulon {

class SheetDocument;

// The printer status window's part: told of each page and row as it is
// printed, and asked after each whether the user aborted.
class PrintProgress {
 public:
  virtual ~PrintProgress() = default;
  // Page `page` (from 1) begins.
  virtual void Page(int /*page*/) {}
  // Row `row` (0-based) was printed; `percent` of the range's rows are done.
  virtual void Line(int /*row*/, int /*percent*/) {}
  virtual bool Aborted() { return false; }
};

struct PrintOutcome {
  int pages = 0;        // pages laid out
  int printed = 0;      // pages drawn
  bool aborted = false;  // the user aborted; the job was dropped
  std::string error;    // why the job failed or was dropped; empty when it ended well
  bool ok() const { return error.empty(); }
};

inline constexpr const char* kPrintAborted = "Printing aborted";

// Prints the job: every page when `onlyPage` is -1, otherwise only that
// page (from 1; a page beyond the last draws nothing and starts no job).
// A job that cannot be laid out, or whose border rows do not fit, starts
// nothing; an abort or a failing page drops the job (Abort), so a file
// target leaves no file behind.
PrintOutcome PrintSheet(PrintTarget& target, SheetDocument& doc, const PrintJob& job,
                        int onlyPage = -1, PrintProgress* progress = nullptr);

// The printable area inside a job's margins, in page units, once the job
// has started on the target.
struct PageArea {
  PageGeometry geometry;
  int width = 0, height = 0;
};

// Works out the page's geometry and starts the job. Nothing when the
// margins leave no room or the target cannot start; `out.error` says which.
std::optional<PageArea> StartPageJob(PrintTarget& target, const PrintJob& job, PrintOutcome& out);

// Prints one page holding a graph inside the job's margins: `draw` gets
// the canvas (its origin the margins' corner) and the area's width and
// height in page units, and answers false for an undefined graph, which
// drops the job with "Graph Undefined!".
PrintOutcome PrintGraphPage(PrintTarget& target, const PrintJob& job,
                            const std::function<bool(Canvas&, int width, int height)>& draw);

// Draws page `index` (from 0) of a laid-out job onto a canvas in page units,
// telling `progress` of each row. False when the user aborted (the page is
// then left unfinished).
bool DrawPage(Canvas& canvas, SheetDocument& doc, const PrintJob& job, const PageGeometry& g,
              const Pagination& layout, int index, PrintProgress* progress = nullptr);

}  // namespace tabulon
