#include "edit/undo.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "formula/formula_code.h"
#include "formula/recalc.h"
#include "sheet/session.h"

namespace tabulon {

void DiscardSnapshot(SheetDocument& doc) {
  UndoSnapshot& u = doc.undo();
  u.present = false;
  u.cells.clear();
  u.cells.shrink_to_fit();
  u.names.clear();
  u.ranges.clear();
  u.namedGraphs.clear();
}

void TakeSnapshot(SheetDocument& doc) {
  DiscardSnapshot(doc);
  Session& session = doc.session();
  if (!session.settings().undoEnabled) return;
  UndoSnapshot& u = doc.undo();
  CellStore& store = doc.cells();
  try {
    u.metrics = doc.metrics();
    u.maxRow = static_cast<std::int16_t>(store.maxRow());
    u.maxCol = static_cast<std::int16_t>(store.maxCol());
    u.names = doc.names().entries();
    doc.ForEachOtherRange([&](const CellRange& r) { u.ranges.push_back(r); });
    u.sortAscending = doc.extras().sortAscending;
    const GraphBook& graphs = doc.extras().graphs;
    u.currentGraph = RangesOf(graphs.current);
    for (const NamedGraph& g : graphs.named) u.namedGraphs.push_back({g.name(), RangesOf(g.settings)});
    u.cells.reserve(store.recordCount());
    store.ForEachIn(0, 0, store.maxRow(), store.maxCol(), [&](CellRecord& c) {
      SavedCell s;
      s.row = c.row;
      s.col = c.col;
      s.style = c.style;
      s.format = c.format;
      s.kind = c.kind & (kKindMask | kErrorBit);
      s.font = c.font;
      s.fontSize = c.fontSize;
      s.borders = c.borders;
      s.colour = c.colour;
      s.value = c.value.bits;
      if (c.text != nullptr) {
        // Byte 0 is the length of labels and formula code alike.
        s.payload.assign(reinterpret_cast<const char*>(c.text), c.text[0] + 1u);
        if (c.IsFormula()) {
          s.value = 0;
          ToRelativeForm(reinterpret_cast<std::uint8_t*>(s.payload.data()), store, c.row, c.col);
        }
      }
      if (c.Kind() == kStringFormula) s.value = 0;  // the text result is not kept
      u.cells.push_back(std::move(s));
    });
    u.present = true;
  } catch (const std::bad_alloc&) {
    DiscardSnapshot(doc);
    session.ShowError("Out of UNDO memory!");
  }
}

namespace {

// Names keep only their ranges from the snapshot: the name commands take no
// snapshot, so a name defined or deleted since then stays as the user left
// it, while every name a command shifted or undefined gets its range back.
void RestoreStoredRanges(SheetDocument& doc, const UndoSnapshot& u) {
  NameTable& names = doc.names();
  for (const RangeName& saved : u.names) {
    int k = names.FindName(saved.name);
    if (k > 0) names.entry(k).range = saved.range;
  }
  std::size_t i = 0;
  doc.ForEachOtherRange([&](CellRange& r) {
    if (i < u.ranges.size()) r = u.ranges[i];
    ++i;
  });
  // Graphs by name, as names are: one created or deleted since the
  // snapshot neither takes nor gives another's ranges.
  GraphBook& graphs = doc.extras().graphs;
  SetRanges(graphs.current, u.currentGraph);
  for (const auto& [name, ranges] : u.namedGraphs) {
    int k = graphs.Find(name);
    if (k >= 0) SetRanges(graphs.named[k].settings, ranges);
  }
}

}  // namespace

bool RestoreSnapshot(SheetDocument& doc) {
  UndoSnapshot& u = doc.undo();
  if (!u.present) return false;
  CellStore& store = doc.cells();
  store.Clear();
  doc.metrics() = u.metrics;
  RestoreStoredRanges(doc, u);
  doc.extras().sortAscending = u.sortAscending;
  std::vector<CellRecord*> formulas;
  for (SavedCell& s : u.cells) {
    CellRecord* c = store.GetOrCreateCell(s.row, s.col);
    if (c == nullptr) continue;
    c->style = s.style;
    c->format = s.format;
    c->font = s.font;
    c->fontSize = s.fontSize;
    c->borders = s.borders;
    c->colour = s.colour;
    c->kind = s.kind;
    if (!s.payload.empty()) {
      store.SetCode(*c, reinterpret_cast<const std::uint8_t*>(s.payload.data()));
    }
    if (c->IsFormula()) {
      c->value.bits = 0;
      if (c->Kind() == kStringFormula) c->kind = kStringFormula;  // empty text until recalculated
      formulas.push_back(c);
    } else {
      c->value.bits = s.value;
    }
  }
  // Every restored cell lies inside the saved extents.
  store.SetExtents(std::max<int>(store.maxRow(), u.maxRow), std::max<int>(store.maxCol(), u.maxCol));
  // References are made only now that every saved cell exists again.
  for (CellRecord* c : formulas) {
    if (!ToLinkedForm(c->text, store, c->row, c->col)) {
      store.StoreFormulaNumber(*c, -1, true);
      continue;
    }
    RegisterFormula(doc, *c, true);
  }
  DiscardSnapshot(doc);
  doc.settings().modified = true;
  RecalcAll(doc);
  return true;
}

}  // namespace tabulon
