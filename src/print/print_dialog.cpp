#include "print/print_dialog.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "base/limits.h"
#include "print/print_file.h"
#include "print/print_service.h"
#include "print/print_settings.h"
#include "sheet/print_options.h"
#include "ui/block_commands.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

std::string InchesText(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", x);
  return buf;
}

}  // namespace

void PrintDialog::Activate() {
  printers_ = service_.PrinterChoices();
  printerIndex_ = 0;
  const std::string& current = service_.options().printer;
  for (std::size_t i = 0; i < printers_.size(); ++i)
    if (printers_[i] == current) printerIndex_ = static_cast<int>(i);
  page_ = 0;
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr) return;
  int pageHeight = w->document().settings().pageHeight;
  CellRange sel = w->SelectionRange();
  const CellRange& stored = w->document().extras().printRange;
  if (sel.IsDefined() && !sel.IsSingleCell()) {
    rangeText = RangeText(sel, pageHeight);
    what = PrintWhat::kSelected;
  } else if (stored.IsDefined()) {
    rangeText = RangeText(stored, pageHeight);
    if (what == PrintWhat::kAll) what = PrintWhat::kSelected;
  }
}

void PrintDialog::ChoosePrinter(int index) {
  if (index < 0 || index >= static_cast<int>(printers_.size())) return;
  printerIndex_ = index;
  // The desktop's default printer is the first entry and is kept as "".
  bool isDefault = index == 0 && printers_[0] != kPdfPrinter;
  service_.options().printer = isDefault ? std::string() : printers_[index];
}

bool PrintDialog::showGrid() const { return service_.options().grid; }
void PrintDialog::SetShowGrid(bool on) { service_.options().grid = on; }

std::string PrintDialog::AllText() const {
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr) return {};
  CellRange all = UsedArea(w->document());
  if (!all.IsDefined()) all = CellRange::Cell(0, 0);
  return RangeText(all, w->document().settings().pageHeight);
}

std::vector<std::string> PrintDialog::GraphChoices() const {
  std::vector<std::string> list{"- Default -"};
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr) return list;
  for (const NamedGraph& g : w->document().extras().graphs.named) list.push_back(g.name());
  return list;
}

CellRange PrintDialog::ChosenRange() const {
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr) return {};
  if (what == PrintWhat::kAll) return UsedArea(w->document());
  if (rangeText.empty()) return {};
  return PromptRange(w->document(), rangeText, w);
}

Status PrintDialog::Print() {
  Workspace& ws = service_.workspace();
  switch (what) {
    case PrintWhat::kAll: return ws.Execute("print.all");
    case PrintWhat::kSelected: return ws.Execute("print.range", {rangeText});
    case PrintWhat::kGraph: {
      std::vector<std::string> names = GraphChoices();
      std::string name =
          graphIndex > 0 && graphIndex < static_cast<int>(names.size()) ? names[graphIndex] : "";
      return ws.Execute("print.graph", {name});
    }
  }
  return Status::Beep();
}

Status PrintDialog::PrintToFile(const std::string& name) {
  // Always the "&Selected Range" edit's range; without one no file is written.
  if (name.empty() || rangeText.empty()) return Status::Beep();
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr || !PromptRange(w->document(), rangeText, w).IsDefined()) return Status::Beep();
  return service_.workspace().Execute("print.file", {PrintFileName(name), rangeText});
}

void PrintDialog::ShowOptions() {
  SheetWindow* w = service_.workspace().active();
  const PrintOptions& o = service_.options();
  fields = OptionFields{};
  if (w != nullptr) {
    const WorksheetExtras& x = w->document().extras();
    int pageHeight = w->document().settings().pageHeight;
    fields.top = InchesText(x.margins[0]);
    fields.left = InchesText(x.margins[1]);
    fields.right = InchesText(x.margins[2]);
    fields.bottom = InchesText(x.margins[3]);
    fields.rows = x.titleRows.IsDefined() ? RangeText(x.titleRows, pageHeight) : "";
    fields.cols = x.titleCols.IsDefined() ? RangeText(x.titleCols, pageHeight) : "";
    fields.header = x.printHeader;
    fields.footer = x.printFooter;
  }
  fields.headerLine = o.headerLine;
  fields.footerLine = o.footerLine;
  fields.scale = std::to_string(o.scale);
  fields.frame = o.frame;
  fields.mono = o.mono;
  fields.landscape = o.landscape;
  page_ = 1;
}

Status PrintDialog::OptionsOk() {
  SheetWindow* w = service_.workspace().active();
  if (w == nullptr) return Status::Beep();
  SheetDocument& doc = w->document();
  // Every field is read before anything is stored.
  std::array<double, 4> margins{};
  const std::string* texts[4] = {&fields.top, &fields.left, &fields.right, &fields.bottom};
  for (int i = 0; i < 4; ++i)
    if (!ReadMargin(*texts[i], margins[i]))
      return Status::Error("Margin must be 0 to 100 inches: " + *texts[i]);
  CellRange rows, cols;
  if (!fields.rows.empty()) {
    rows = PromptRange(doc, fields.rows, w);
    if (!rows.IsDefined()) return Status::Error("Invalid border rows: " + fields.rows);
  }
  if (!fields.cols.empty()) {
    cols = PromptRange(doc, fields.cols, w);
    if (!cols.IsDefined()) return Status::Error("Invalid border columns: " + fields.cols);
  }
  int scale = 0;
  if (!ReadDialogScale(fields.scale, scale)) return Status::Error("Invalid scale: " + fields.scale);

  WorksheetExtras& x = doc.extras();
  for (int i = 0; i < 4; ++i) x.margins[i] = margins[i];
  x.titleRows = rows;
  x.titleCols = cols;
  x.printHeader = fields.header.substr(0, kMaxText);
  x.printFooter = fields.footer.substr(0, kMaxText);
  doc.settings().modified = true;
  PrintOptions& o = service_.options();
  o.headerLine = fields.headerLine;
  o.footerLine = fields.footerLine;
  o.scale = scale;
  fields.scale = std::to_string(scale);
  o.frame = fields.frame;
  o.mono = fields.mono;
  o.landscape = fields.landscape;
  page_ = 0;
  return Status::Ok();
}

std::vector<std::string> PrintDialog::PrinterInfo() {
  PageMetrics m = service_.Metrics();
  char buf[96];
  std::vector<std::string> lines;
  std::snprintf(buf, sizeof buf, "Resolution: %d x %d dpi", m.dpiX, m.dpiY);
  lines.emplace_back(buf);
  std::snprintf(buf, sizeof buf, "Pixels: %d x %d", m.printableWidth, m.printableHeight);
  lines.emplace_back(buf);
  std::snprintf(buf, sizeof buf, "Inches: %.2f x %.2f",
                static_cast<double>(m.physicalWidth) / std::max(1, m.dpiX),
                static_cast<double>(m.physicalHeight) / std::max(1, m.dpiY));
  lines.emplace_back(buf);
  return lines;
}

}  // namespace tabulon
