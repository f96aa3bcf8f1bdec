// Where a printed worksheet goes on paper: the page geometry from the
// device's page and the margins, the column bands across pages, the rows of
// each page with the row markers ("|" leaves a row out, "|::" also starts a
// new page after it), and the border rows and columns repeated on every
// page. Everything here is measured in page units: screen pixels, 96 to the
// inch, scaled by the print scale where the sheet's sizes are concerned.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/print_target.h"
#include "sheet/address.h"
#include "ui/row_painter.h"

namespace tabulon {

class SheetDocument;
struct PrintOptions;

// Everything a worksheet print job uses.
struct PrintJob {
  CellRange range;                   // what to print
  CellRange borderRows, borderCols;  // repeated on every page; undefined: none
  std::array<double, 4> margins{0.5, 0.5, 0.5, 0.5};  // inches: top, left, right, bottom
  std::string header, footer;
  bool headerLine = false, footerLine = false;
  int scale = 100;  // percent
  bool grid = true, frame = true, mono = false;
  int fontHeight = 12;   // the worksheet window's font height in pixels
  std::string fileName;  // what "^F" prints
  double now = 0;        // date number of the moment of printing
  std::string jobName;   // the document's name in the print queue
};

// The job for printing `range` of a worksheet with its stored borders,
// texts and margins and the program's print options.
PrintJob JobFor(const SheetDocument& doc, const PrintOptions& options, const CellRange& range,
                int fontHeight, double now);

// A1 to the last used cell; undefined for a sheet without cells.
CellRange UsedArea(const SheetDocument& doc);

// The current date and time as a date number.
double CurrentDateNumber();

struct PageGeometry {
  int pageWidth = 0, pageHeight = 0;  // the printable area
  int top = 0, left = 0, right = 0, bottom = 0;
  int lineHeight = 0;  // the header and footer lines and the gaps beside them
  int headerTop = 0, footerTop = 0;
  int rowAreaTop = 0, rowAreaHeight = 0;
  int areaLeft = 0, areaWidth = 0;  // between the left and right margins
};

PageGeometry ComputeGeometry(const PageMetrics& metrics, const PrintJob& job);

// One printed page: the columns of its band and its rows, each with its
// place on the page, border columns and rows first.
struct PrintedPage {
  int band = 0;
  std::vector<GridSlot> rows;       // border rows first
  int borderRows = 0;               // how many of `rows` are border rows
  int firstRow = -1, lastRow = -1;  // of the range's rows on the page; -1 when none
};

struct PageBand {
  int firstCol = 0, lastCol = 0;  // the range's columns in the band
  std::vector<GridSlot> columns;  // border columns, then the band's visible columns
};

struct Pagination {
  std::vector<PageBand> bands;
  std::vector<PrintedPage> pages;
  std::string error;  // why nothing can be printed; empty when pages were laid out
  bool ok() const { return error.empty(); }
};

// Messages of a job that cannot be laid out.
inline constexpr const char* kNothingToPrint = "Nothing to print";
inline constexpr const char* kBordersTooTall = "Borders do not fit on the page";
inline constexpr const char* kNoRoomOnPage = "Margins leave no room on the page";
inline constexpr const char* kBadScale = "Print scale must be 1 to 1000%";

// Lays the job's range out on pages: bands left to right, each starting a
// new page, and within a band the rows top to bottom. A row goes to the
// next page when it would pass the row area's bottom (a row taller than the
// whole area gets a page of its own and is cut).
Pagination Paginate(SheetDocument& doc, const PrintJob& job, const PageGeometry& geometry);

// The number of pages of the job; 0 when it cannot be laid out.
int CountPages(SheetDocument& doc, const PrintJob& job, const PageMetrics& metrics);

// Fit: the largest scale at which the job's range fits on one page. While
// one page suffices the scale grows in steps of 32 (up to 200); then it
// moves down and up with the step halved each time until the step is 0.
// The result is at least 50.
int FitScale(SheetDocument& doc, PrintJob job, const PageMetrics& metrics);

}  // namespace tabulon
