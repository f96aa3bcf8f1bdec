#include "graph/graph_dialog.h"

#include <algorithm>
#include <cmath>

#include "base/number_parse.h"
#include "base/text.h"
#include "display/format.h"
#include "formula/engine.h"
#include "formula/evaluator.h"
#include "sheet/session.h"

namespace tabulon {

namespace {

std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

GraphDialog::GraphDialog(SheetDocument& doc) : doc_(doc) { backup_ = record(); }

GraphSettings& GraphDialog::record() { return doc_.extras().graphs.current; }

const char* GraphDialog::Caption() const { return kGraphPageCaptions[std::clamp(page_.page, 0, 8)]; }

void GraphDialog::Open(GraphPageRequest request, const CellRange& selection) {
  page_ = request;
  selection_ = selection;
  backup_ = record();
  Fill();
}

void GraphDialog::Fill() {
  const GraphSettings& g = record();
  int pageHeight = doc_.settings().pageHeight;
  auto text = [&](const CellRange& r) { return r.IsDefined() ? RangeText(r, pageHeight) : ""; };
  seriesEdits[0] = text(g.x);
  for (int s = 0; s < kGraphSeries; ++s) {
    seriesEdits[s + 1] = text(g.series[s]);
    labelEdits[s] = text(g.labels[s]);
    legendEdits[s] = g.Legend(s);
  }
  char decimal = doc_.session().settings().decimalChar;
  for (int a = 0; a < 2; ++a) {
    scaleEdits[a].lower = InputForm(g.axes[a].low, decimal);
    scaleEdits[a].upper = InputForm(g.axes[a].high, decimal);
    scaleEdits[a].step = std::to_string(g.axes[a].step);
    scaleEdits[a].divisions = std::to_string(g.axes[a].minor);
  }
  for (int i = 0; i < kGraphHeadings; ++i) headingEdits[i] = g.Heading(i);
  nameEdit.clear();
}

Status GraphDialog::Ok() {
  // Read everything first, so a bad edit leaves the record untouched.
  Session& session = doc_.session();
  RangeContext context{doc_.settings().pageHeight, &doc_.names(), session.cursor()};
  std::array<CellRange, 1 + kGraphSeries> series;
  std::array<CellRange, kGraphSeries> labels;
  auto read = [&](const std::string& text, CellRange& r, const std::string& field) {
    ErrorChannel errors;
    ParsedRange p = ParseRange(text, context, errors);
    if (!p.ok) return Status::Error("Invalid range " + field + ": " + text);
    r = p.range;
    return Status::Ok();
  };
  for (int i = 0; i <= kGraphSeries; ++i) {
    Status s = read(seriesEdits[i], series[i], i == 0 ? "X" : std::to_string(i));
    if (!s) return s;
  }
  for (int i = 0; i < kGraphSeries; ++i) {
    Status s = read(labelEdits[i], labels[i], "label " + std::to_string(i + 1));
    if (!s) return s;
  }
  std::array<double, 2> low{}, high{};
  std::array<int, 2> step{}, div{};
  char decimal = session.settings().decimalChar;
  for (int a = 0; a < 2; ++a) {
    const char* axis = a == 0 ? "X" : "Y";
    auto number = [&](const std::string& text, double& v) {
      ParsedNumber n = ParseNumber(text, decimal);
      if (text.empty() || n.errorPosition != 0 || !std::isfinite(n.value)) return false;
      v = n.value;
      return true;
    };
    double d;
    if (!number(scaleEdits[a].lower, low[a]))
      return Status::Error(std::string("Invalid number: ") + axis + " Lower");
    if (!number(scaleEdits[a].upper, high[a]))
      return Status::Error(std::string("Invalid number: ") + axis + " Upper");
    if (!number(scaleEdits[a].step, d) || d < 0 || d > 255)
      return Status::Error(std::string("Step must be 0 to 255: ") + axis);
    step[a] = static_cast<int>(d);
    if (!number(scaleEdits[a].divisions, d) || d < 0 || d > 255)
      return Status::Error(std::string("Div must be 0 to 255: ") + axis);
    div[a] = static_cast<int>(d);
  }
  GraphSettings& g = record();
  g.x = series[0];
  for (int s = 0; s < kGraphSeries; ++s) {
    g.series[s] = series[s + 1];
    g.labels[s] = labels[s];
  }
  for (int a = 0; a < 2; ++a) {
    g.axes[a].low = low[a];
    g.axes[a].high = high[a];
    g.axes[a].step = Byte(step[a]);
    g.axes[a].minor = Byte(div[a]);
  }
  for (int i = 0; i < kGraphHeadings; ++i) LeaveHeading(i);
  for (int i = 0; i < kGraphSeries; ++i) LeaveLegend(i);
  doc_.settings().modified = true;
  return Status::Ok();
}

void GraphDialog::Cancel() {
  record() = backup_;
  Fill();
}

int GraphDialog::TypeIndex(bool threeD) const {
  GraphType t = const_cast<GraphDialog*>(this)->record().Type();
  if (threeD) {
    for (int i = 0; i < 6; ++i)
      if (kGraph3DTypes[i] == t) return i;
  } else {
    for (int i = 0; i < 12; ++i)
      if (kGraph2DTypes[i] == t) return i;
  }
  return -1;
}

void GraphDialog::ChooseType(bool threeD, int index) {
  if (index < 0 || index >= (threeD ? 6 : 12)) return;
  record().type = static_cast<std::uint8_t>(threeD ? kGraph3DTypes[index] : kGraph2DTypes[index]);
}

void GraphDialog::ResetRanges() {
  for (std::string& e : seriesEdits) e.clear();
}

void GraphDialog::ResetLabels() {
  for (std::string& e : labelEdits) e.clear();
}

int GraphDialog::LabelLocation() const {
  return const_cast<GraphDialog*>(this)->record().labelPlace[std::clamp(labelFocus, 0, 5)];
}

void GraphDialog::SetLabelLocation(int location) {
  if (location < 1 || location > 5) return;
  record().labelPlace[std::clamp(labelFocus, 0, 5)] = Byte(location);
}

std::string GraphDialog::PointPrompt(bool label, int index) const {
  if (label) return std::to_string(index + 1) + "-Label : Specify Range";
  return (index == 0 ? std::string("X") : std::to_string(index)) + "-Data: Specify Range";
}

CellRange GraphDialog::PointStart(bool label, int index) const {
  const std::string& text = label ? labelEdits[std::clamp(index, 0, 5)]
                                  : seriesEdits[std::clamp(index, 0, kGraphSeries)];
  if (text.empty()) return selection_;
  ErrorChannel errors;
  RangeContext context{doc_.settings().pageHeight, &doc_.names(), nullptr};
  ParsedRange p = ParseRange(text, context, errors);
  return p.ok && p.range.IsDefined() ? p.range : selection_;
}

void GraphDialog::PointDone(bool label, int index, const CellRange& range) {
  std::string text = range.IsDefined() ? RangeText(range, doc_.settings().pageHeight) : "";
  if (label) labelEdits[std::clamp(index, 0, 5)] = text;
  else seriesEdits[std::clamp(index, 0, kGraphSeries)] = text;
}

void GraphDialog::SetForeColour(int s, int c) { record().foreColour[std::clamp(s, 0, 5)] = Byte(c & 15); }
void GraphDialog::SetBackColour(int s, int c) { record().backColour[std::clamp(s, 0, 5)] = Byte(c & 15); }
void GraphDialog::SetMarker(int s, int m) { record().marker[std::clamp(s, 0, 5)] = Byte(m); }
void GraphDialog::SetHatch(int s, int h) { record().hatch[std::clamp(s, 0, 5)] = Byte(h); }
void GraphDialog::SetDisplay(int s, int d) { record().display[std::clamp(s, 0, 5)] = Byte(d & 3); }

void GraphDialog::SetThickness(int s, int width) {
  s = std::clamp(s, 0, 5);
  record().thickness[s] = Byte(width);
  record().lineStyle[s] = 1;
}

void GraphDialog::SetLineStyle(int s, int style) {
  s = std::clamp(s, 0, 5);
  record().lineStyle[s] = Byte(style);
  record().thickness[s] = 1;
}

void GraphDialog::SetGrid(int grid) { record().SetGrid(grid); }
void GraphDialog::SetGridSolid(bool solid) { record().SetFlag(4, solid); }
void GraphDialog::SetInsideColour(int c) { record().insideColour = Byte(c & 15); }
void GraphDialog::SetOutsideColour(int c) { record().outsideColour = Byte(c & 15); }

void GraphDialog::LeaveScaleEdit(int axis, ScaleField field) {
  GraphScaleEdits& e = scaleEdits[std::clamp(axis, 0, 1)];
  std::string& text = field == ScaleField::Lower ? e.lower
                      : field == ScaleField::Upper ? e.upper
                      : field == ScaleField::Step  ? e.step
                                                   : e.divisions;
  if (text.empty()) return;
  TextResult r = Engine(doc_.session()).evaluator->EvaluateText(doc_, text);
  if (r.error || r.isString || !std::isfinite(r.number)) return;
  double v = r.number;
  if (field == ScaleField::Step || field == ScaleField::Divisions) v = std::trunc(v);
  text = InputForm(v, doc_.session().settings().decimalChar);
}

void GraphDialog::SetManual(int axis, bool manual) {
  record().axes[std::clamp(axis, 0, 1)].manual = manual ? 1 : 0;
}
void GraphDialog::SetLogarithmic(int axis, bool log) { record().SetLog(std::clamp(axis, 0, 1), log); }
void GraphDialog::SetFormat(int axis, std::uint8_t format) {
  record().axes[std::clamp(axis, 0, 1)].format = format & 0x7F;
}

void GraphDialog::TypeName(const std::string& text) { nameEdit = UpperCase(text); }

std::vector<std::string> GraphDialog::NameList() const {
  std::vector<std::string> names;
  for (const NamedGraph& g : doc_.extras().graphs.named) names.push_back(g.name());
  return names;
}

Status GraphDialog::NewName() {
  ErrorChannel errors;
  int position = doc_.extras().graphs.Create(nameEdit, errors);
  if (errors.failed()) return Status::Error(errors.message());
  if (position == 0) return Status::Beep();
  doc_.settings().modified = true;
  return Status::Ok();
}

Status GraphDialog::DeleteName() {
  if (doc_.extras().graphs.Remove(nameEdit) == 0) return Status::Beep();
  doc_.settings().modified = true;
  return Status::Ok();
}

bool GraphDialog::UseName() {
  if (doc_.extras().graphs.Use(nameEdit) == 0) return false;
  Fill();
  return true;
}

bool GraphDialog::UseListEntry(int index) {
  std::vector<std::string> names = NameList();
  if (index < 0 || index >= static_cast<int>(names.size())) return false;
  nameEdit = names[index];
  return UseName();
}

void GraphDialog::LeaveHeading(int i) {
  if (i < 0 || i >= kGraphHeadings) return;
  headingEdits[i] = headingEdits[i].substr(0, kGraphHeadingBytes);
  record().SetHeading(i, headingEdits[i]);
}

void GraphDialog::LeaveLegend(int i) {
  if (i < 0 || i >= kGraphSeries) return;
  legendEdits[i] = legendEdits[i].substr(0, kGraphLegendBytes);
  record().SetLegend(i, legendEdits[i]);
}

void GraphDialog::ClearLegends() {
  for (int i = 0; i < kGraphSeries; ++i) {
    legendEdits[i].clear();
    record().SetLegend(i, "");
  }
}

void GraphDialog::SetLegendTable(bool table) { record().SetFlag(8, table); }

void GraphDialog::SetFont(int item, const std::string& face, int points, unsigned style,
                          int colour) {
  if (item < 0 || item >= kGraphTextItems) return;
  GraphSettings& g = record();
  g.SetFontFace(item, face);
  if (points >= 1 && points <= 255) g.fontSize[item] = Byte(points);
  g.fontStyle[item] = Byte(static_cast<int>(style & 15));
  g.textColour[item] = Byte(colour & 15);
}

}  // namespace tabulon
