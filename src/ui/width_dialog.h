// The column width and row height dialog without a toolkit: the range, the
// Width and Height pages with their skip counts and Reset and Global boxes,
// the mask of touched pages, and applying them to the grid metrics of a
// worksheet. The Qt dialog binds its controls to this class.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sheet/address.h"

namespace tabulon {

class SheetDocument;

// Evaluates the text of a number field as a formula; no value when it does
// not give a number.
std::optional<double> EvaluateNumberField(SheetDocument& doc, std::string_view text);

class WidthDialog {
 public:
  static constexpr unsigned kWidthPage = 1;
  static constexpr unsigned kHeightPage = 2;

  // Takes the selection as the range and presets Width (in characters of 8
  // pixels) and Height (pixels) from its first column and row; rows that
  // follow the window's default read as `windowRowHeight` pixels.
  void Activate(SheetDocument& doc, const CellRange& selection, int windowRowHeight);

  const std::string& rangeText() const { return rangeText_; }
  void SetRangeText(std::string_view text) { rangeText_.assign(text.substr(0, 240)); }
  unsigned touched() const { return touched_; }
  // A control of a page was clicked or entered.
  void Touch(unsigned page) { touched_ |= page & (kWidthPage | kHeightPage); }

  // The page fields. Setting one touches its page.
  double width() const { return width_; }
  double height() const { return height_; }
  double skipColumns() const { return skipColumns_; }
  double skipRows() const { return skipRows_; }
  bool resetWidth() const { return resetWidth_; }
  bool resetHeight() const { return resetHeight_; }
  bool globalWidth() const { return globalWidth_; }
  bool globalHeight() const { return globalHeight_; }
  void SetWidth(double w) { width_ = w; Touch(kWidthPage); }
  void SetSkipColumns(double s) { skipColumns_ = s; Touch(kWidthPage); }
  void SetResetWidth(bool on) { resetWidth_ = on; Touch(kWidthPage); }
  void SetGlobalWidth(bool on) { globalWidth_ = on; Touch(kWidthPage); }
  void SetHeight(double h) { height_ = h; Touch(kHeightPage); }
  void SetSkipRows(double s) { skipRows_ = s; Touch(kHeightPage); }
  void SetResetHeight(bool on) { resetHeight_ = on; Touch(kHeightPage); }
  void SetGlobalHeight(bool on) { globalHeight_ = on; Touch(kHeightPage); }

  enum class Outcome { kApplied, kBadRange, kBadWidth, kBadHeight };
  // "&Ok": applies the touched pages to the range's columns and rows. A bad
  // range, a width outside 0..254 characters or a height outside 1..254
  // pixels on a touched page changes nothing.
  Outcome Apply(SheetDocument& doc, const CursorSource* cursor);

 private:
  std::string rangeText_;
  unsigned touched_ = 0;
  double width_ = 8, height_ = 16, skipColumns_ = 0, skipRows_ = 0;
  bool resetWidth_ = false, resetHeight_ = false;
  bool globalWidth_ = false, globalHeight_ = false;
};

}  // namespace tabulon
