// The print dialog without a toolkit: its "Print" page (printer list, Show
// Grid, what to print: All, a selected range or a named graph) and its
// options page ("Print Options": margins, borders, header and footer with
// their rules, scale, frame, mono, orientation). Its buttons run the print
// commands, so a click and a macro share one path.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sheet/address.h"
#include "ui/status.h"

namespace tabulon {

class PrintService;

enum class PrintWhat { kAll, kSelected, kGraph };

class PrintDialog {
 public:
  explicit PrintDialog(PrintService& service) : service_(service) {}

  // Each time the dialog is shown: the printers are listed; the window's
  // selection becomes the print range when it spans more than one cell,
  // otherwise the stored print range is offered; the first page shows.
  void Activate();

  // --- page "Print" --------------------------------------------------------------
  const std::vector<std::string>& printers() const { return printers_; }
  int printerIndex() const { return printerIndex_; }
  // Choosing an entry makes it the current printer.
  void ChoosePrinter(int index);
  bool showGrid() const;
  void SetShowGrid(bool on);

  PrintWhat what = PrintWhat::kAll;
  std::string rangeText;  // "&Selected Range"
  int graphIndex = 0;     // 0 "- Default -", then the named graphs
  // The label beside "&All": A1 to the last used cell.
  std::string AllText() const;
  // "- Default -" and the named graphs' names.
  std::vector<std::string> GraphChoices() const;
  // "Pre&view...." and "Print to &File" are off while a graph is chosen.
  bool PreviewEnabled() const { return what != PrintWhat::kGraph; }
  bool FileEnabled() const { return what != PrintWhat::kGraph; }

  // The range "&All" or "&Selected Range" stands for; undefined when the
  // text names none (or All on an empty sheet).
  CellRange ChosenRange() const;
  // "&Print": the commands print.all, print.range or print.graph.
  Status Print();
  // "Print to &File": the "&Selected Range" always; `name` as the save
  // dialog gave it (".prn" is added to a name without ".").
  Status PrintToFile(const std::string& name);

  // --- the options page ----------------------------------------------------------
  struct OptionFields {
    std::string top, left, bottom, right;  // inches
    std::string rows, cols;                // border ranges; empty: none
    std::string header, footer;
    bool headerLine = false, footerLine = false;
    std::string scale;
    bool frame = true, mono = false, landscape = false;
  };
  OptionFields fields;
  int page() const { return page_; }
  // "Op&tions...": the fields from the settings.
  void ShowOptions();
  // "&Ok": every field is checked first; a bad one refuses with its
  // message and changes nothing. Then every setting is stored and the
  // first page shows.
  Status OptionsOk();
  // "&Cancel" and "&Defaults": back to the first page, nothing stored.
  void OptionsCancel() { page_ = 0; }
  void OptionsDefaults() { page_ = 0; }
  // The printer's resolution, pixels and inches.
  std::vector<std::string> PrinterInfo();

 private:
  PrintService& service_;
  std::vector<std::string> printers_;
  int printerIndex_ = 0;
  int page_ = 0;
};

}  // namespace tabulon
