#include "qt/graph_dialog_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "display/format.h"
#include "graph/graph_render.h"
#include "platform/host.h"
#include "qt/qt_canvas.h"
#include "qt/text_codec.h"

namespace tabulon {

namespace {

constexpr const char* kFormats[] = {"F0", "F1", "F2", "F3", "S2", ",0", ",2", "C2",
                                    "P0", "P1", "P2", "G",  "D1", "D2", "D3"};

QString Q(const char* s) { return QString::fromLatin1(s); }

// A colour box: the sixteen palette entries, shown as index + 1.
QComboBox* ColourBox(QWidget* parent) {
  auto* box = new QComboBox(parent);
  for (int i = 0; i < 16; ++i) {
    QPixmap swatch(16, 12);
    swatch.fill(QtCanvas::ToColor(GraphColour(i)));
    box->addItem(QIcon(swatch), QString::number(i + 1));
  }
  return box;
}

QComboBox* NumberBox(QWidget* parent, int from, int to) {
  auto* box = new QComboBox(parent);
  for (int i = from; i <= to; ++i) box->addItem(QString::number(i));
  return box;
}

// A group of radio buttons numbered from 0 in caption order.
QButtonGroup* Choice(QWidget* parent, QBoxLayout* into, const char* title,
                     std::initializer_list<const char*> captions) {
  auto* box = new QGroupBox(Q(title), parent);
  auto* layout = new QHBoxLayout(box);
  auto* group = new QButtonGroup(box);
  int id = 0;
  for (const char* c : captions) {
    auto* b = new QRadioButton(Q(c), box);
    group->addButton(b, id++);
    layout->addWidget(b);
  }
  into->addWidget(box);
  return group;
}

void Check(QButtonGroup* g, int id) {
  if (QAbstractButton* b = g->button(id)) b->setChecked(true);
}

}  // namespace

GraphDialogView::GraphDialogView(QWidget* parent, SheetDocument& doc, Host& host)
    : QDialog(parent), model_(doc), host_(host) {
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->addTab(TypePage(), Q("Type"));
  pages_->addTab(RangesPage(), Q("Ranges"));
  pages_->addTab(OptionsPage(), Q("Options"));
  pages_->addTab(ScalesPage(), Q("Scales"));
  pages_->addTab(NamesPage(), Q("Names"));
  pages_->addTab(HeadingsPage(), Q("Headings"));
  pages_->addTab(ColorsPage(), Q("Colors"));
  pages_->addTab(FontsPage(), Q("Fonts"));
  pages_->addTab(LegendsPage(), Q("Legends"));
  layout->addWidget(pages_);
  connect(pages_, &QTabWidget::currentChanged, this, [this](int i) {
    model_.ShowPage({i, 0});
    setWindowTitle(Q(model_.Caption()));
  });
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Q("&Ok"), QDialogButtonBox::AcceptRole);
  buttons->addButton(Q("&Cancel"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void GraphDialogView::OpenOn(GraphPageRequest page, const CellRange& selection) {
  model_.Open(page, selection);
  Refresh();
  filling_ = true;
  pages_->setCurrentIndex(page.page);
  if (page.page == kGraphOptionsPage) seriesTabs_->setCurrentIndex(std::clamp(page.tab, 0, 6));
  if (page.page == kGraphScalesPage) axisTabs_->setCurrentIndex(std::clamp(page.tab, 0, 1));
  filling_ = false;
  model_.ShowPage(page);
  setWindowTitle(Q(model_.Caption()));
  RefreshSeriesOptions();
  RefreshScale();
}

void GraphDialogView::done(int result) {
  if (result == QDialog::Accepted) {
    // Edits still being typed count as left.
    for (int i = 0; i < kGraphHeadings; ++i) model_.headingEdits[i] = FromQt(headings_[i]->text());
    for (int i = 0; i < kGraphSeries; ++i) model_.legendEdits[i] = FromQt(legends_[i]->text());
    for (int i = 0; i <= kGraphSeries; ++i) model_.seriesEdits[i] = FromQt(seriesEdits_[i]->text());
    for (int i = 0; i < kGraphSeries; ++i) model_.labelEdits[i] = FromQt(labelEdits_[i]->text());
    Status s = model_.Ok();
    if (!s) {
      host_.Beep();
      if (!s.message().empty()) host_.ShowMessage("Error:" + s.message());
      return;
    }
  } else {
    model_.Cancel();
  }
  QDialog::done(result);
}

bool GraphDialogView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (int i = 0; i <= kGraphSeries; ++i)
      if (watched == seriesEdits_[i]) Point(false, i);
    for (int i = 0; i < kGraphSeries; ++i)
      if (watched == labelEdits_[i]) Point(true, i);
  }
  if (event->type() == QEvent::FocusIn) {
    for (int i = 0; i < kGraphSeries; ++i)
      if (watched == labelEdits_[i]) {
        model_.labelFocus = i;
        filling_ = true;
        Check(labelPlace_, model_.LabelLocation() - 1);
        filling_ = false;
      }
  }
  return QDialog::eventFilter(watched, event);
}

void GraphDialogView::Point(bool label, int index) {
  // The range comes back through the input box the host offers, starting
  // from the edit's range or the selection.
  CellRange start = model_.PointStart(label, index);
  std::string text = start.IsDefined() ? RangeText(start, 0) : "";
  std::optional<std::string> answer =
      host_.InputBox("Graph", model_.PointPrompt(label, index), text);
  if (!answer) return;
  (label ? labelEdits_[index] : seriesEdits_[index])->setText(ToQt(*answer));
}

QWidget* GraphDialogView::TypePage() {
  auto* page = new QWidget(this);
  auto* layout = new QHBoxLayout(page);
  auto list = [&](const char* title, const char* const* captions, int n, bool threeD) {
    auto* box = new QGroupBox(Q(title), page);
    auto* l = new QVBoxLayout(box);
    auto* w = new QListWidget(box);
    for (int i = 0; i < n; ++i) w->addItem(Q(captions[i]).remove('&'));
    l->addWidget(w);
    layout->addWidget(box);
    connect(w, &QListWidget::currentRowChanged, this, [this, threeD](int row) {
      if (filling_ || row < 0) return;
      model_.ChooseType(threeD, row);
      filling_ = true;
      (threeD ? types2d_ : types3d_)->clearSelection();
      (threeD ? types2d_ : types3d_)->setCurrentRow(-1);
      filling_ = false;
    });
    return w;
  };
  types2d_ = list("&2D", kGraph2DCaptions, 12, false);
  types3d_ = list("&3D", kGraph3DCaptions, 6, true);
  return page;
}

QWidget* GraphDialogView::RangesPage() {
  auto* tabs = new QTabWidget(this);
  auto* series = new QWidget(tabs);
  auto* form = new QFormLayout(series);
  for (int i = 0; i <= kGraphSeries; ++i) {
    seriesEdits_[i] = new QLineEdit(series);
    seriesEdits_[i]->installEventFilter(this);
    form->addRow(i == 0 ? Q("&X: ") : Q("&%1: ").arg(i), seriesEdits_[i]);
  }
  auto* reset = new QPushButton(Q("&Reset Ranges"), series);
  connect(reset, &QPushButton::clicked, this, [this] {
    model_.ResetRanges();
    for (QLineEdit* e : seriesEdits_) e->clear();
  });
  form->addRow(reset);
  tabs->addTab(series, Q("&Series"));

  auto* labels = new QWidget(tabs);
  auto* v = new QVBoxLayout(labels);
  auto* lf = new QFormLayout;
  for (int i = 0; i < kGraphSeries; ++i) {
    labelEdits_[i] = new QLineEdit(labels);
    labelEdits_[i]->installEventFilter(this);
    lf->addRow(Q("&%1: ").arg(i + 1), labelEdits_[i]);
  }
  v->addLayout(lf);
  labelPlace_ = Choice(labels, v, " Location ", {"&Above", "&Below", "&Left", "&Right", "&None"});
  connect(labelPlace_, &QButtonGroup::idClicked, this, [this](int id) {
    if (!filling_) model_.SetLabelLocation(id + 1);
  });
  auto* resetLabels = new QPushButton(Q("&Reset Labels"), labels);
  connect(resetLabels, &QPushButton::clicked, this, [this] {
    model_.ResetLabels();
    for (QLineEdit* e : labelEdits_) e->clear();
  });
  v->addWidget(resetLabels);
  tabs->addTab(labels, Q("&Labels"));
  return tabs;
}

QWidget* GraphDialogView::OptionsPage() {
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  seriesTabs_ = new QTabBar(page);
  for (int i = 1; i <= kGraphSeries; ++i) seriesTabs_->addTab(Q("&%1").arg(i));
  seriesTabs_->addTab(Q("&Other"));
  v->addWidget(seriesTabs_);

  seriesBox_ = new QWidget(page);
  auto* sv = new QVBoxLayout(seriesBox_);
  auto* form = new QFormLayout;
  fore_ = ColourBox(seriesBox_);
  back_ = ColourBox(seriesBox_);
  marks_ = NumberBox(seriesBox_, 1, 16);
  hatch_ = NumberBox(seriesBox_, 1, 8);
  thickness_ = NumberBox(seriesBox_, 1, 10);
  style_ = NumberBox(seriesBox_, 1, 7);
  form->addRow(Q("&Fore "), fore_);
  form->addRow(Q(" &Back "), back_);
  form->addRow(Q("&Marks:"), marks_);
  form->addRow(Q("&Hatchs:"), hatch_);
  form->addRow(Q("&Thickness:"), thickness_);
  form->addRow(Q("&Style:"), style_);
  sv->addLayout(form);
  display_ = Choice(seriesBox_, sv, "&Options", {"&None", "&Lines", "&Symbols", "&Both"});
  v->addWidget(seriesBox_);

  otherBox_ = new QWidget(page);
  auto* ov = new QVBoxLayout(otherBox_);
  grid_ = Choice(otherBox_, ov, " &Grid ", {"&None", "&Horiz", "&Vert", "&Both"});
  gridStyle_ = Choice(otherBox_, ov, " &Style", {"&Solid", "&Dots"});
  auto* colours = new QFormLayout;
  inside_ = ColourBox(otherBox_);
  outside_ = ColourBox(otherBox_);
  colours->addRow(Q(" Inside "), inside_);
  colours->addRow(Q(" Outside "), outside_);
  ov->addLayout(colours);
  v->addWidget(otherBox_);
  v->addStretch();

  auto series = [this] { return std::clamp(seriesTabs_->currentIndex(), 0, 5); };
  connect(seriesTabs_, &QTabBar::currentChanged, this, [this] { RefreshSeriesOptions(); });
  auto onIndex = [this](QComboBox* box, std::function<void(int)> fn) {
    connect(box, &QComboBox::currentIndexChanged, this, [this, fn](int i) {
      if (!filling_ && i >= 0) {
        fn(i);
        RefreshSeriesOptions();
      }
    });
  };
  onIndex(fore_, [this, series](int i) { model_.SetForeColour(series(), i); });
  onIndex(back_, [this, series](int i) { model_.SetBackColour(series(), i); });
  onIndex(marks_, [this, series](int i) { model_.SetMarker(series(), i + 1); });
  onIndex(hatch_, [this, series](int i) { model_.SetHatch(series(), i + 1); });
  onIndex(thickness_, [this, series](int i) { model_.SetThickness(series(), i + 1); });
  onIndex(style_, [this, series](int i) { model_.SetLineStyle(series(), i + 1); });
  onIndex(inside_, [this](int i) { model_.SetInsideColour(i); });
  onIndex(outside_, [this](int i) { model_.SetOutsideColour(i); });
  connect(display_, &QButtonGroup::idClicked, this,
          [this, series](int id) { model_.SetDisplay(series(), id); });
  connect(grid_, &QButtonGroup::idClicked, this, [this](int id) { model_.SetGrid(id); });
  connect(gridStyle_, &QButtonGroup::idClicked, this,
          [this](int id) { model_.SetGridSolid(id == 0); });
  return page;
}

QWidget* GraphDialogView::ScalesPage() {
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  axisTabs_ = new QTabBar(page);
  axisTabs_->addTab(Q("&X-Axis"));
  axisTabs_->addTab(Q("&Y-Axis"));
  v->addWidget(axisTabs_);
  auto* form = new QFormLayout;
  lower_ = new QLineEdit(page);
  upper_ = new QLineEdit(page);
  step_ = new QLineEdit(page);
  div_ = new QLineEdit(page);
  format_ = new QComboBox(page);
  for (const char* f : kFormats) format_->addItem(Q(f));
  form->addRow(Q("&Lower: "), lower_);
  form->addRow(Q("&Upper: "), upper_);
  form->addRow(Q("&Step: "), step_);
  form->addRow(Q("&Div: "), div_);
  form->addRow(Q("Format"), format_);
  v->addLayout(form);
  scaling_ = Choice(page, v, " Scaling ", {"&Manual", "&Auto"});
  axisKind_ = Choice(page, v, " Axis ", {"&Normal", "&Exp"});
  v->addStretch();
  auto axis = [this] { return std::clamp(axisTabs_->currentIndex(), 0, 1); };
  connect(axisTabs_, &QTabBar::currentChanged, this, [this](int i) {
    setWindowTitle(Q(i == 0 ? "Scale: Set X-Axis" : "Scale: Set Y-Axis"));
    RefreshScale();
  });
  struct Field {
    QLineEdit* edit;
    ScaleField field;
  };
  for (Field f : {Field{lower_, ScaleField::Lower}, Field{upper_, ScaleField::Upper},
                  Field{step_, ScaleField::Step}, Field{div_, ScaleField::Divisions}}) {
    connect(f.edit, &QLineEdit::editingFinished, this, [this, f, axis] {
      GraphScaleEdits& e = model_.scaleEdits[axis()];
      std::string& text = f.field == ScaleField::Lower   ? e.lower
                          : f.field == ScaleField::Upper ? e.upper
                          : f.field == ScaleField::Step  ? e.step
                                                         : e.divisions;
      text = FromQt(f.edit->text());
      model_.LeaveScaleEdit(axis(), f.field);
      f.edit->setText(ToQt(text));
    });
  }
  connect(format_, &QComboBox::currentIndexChanged, this, [this, axis](int i) {
    if (!filling_ && i >= 0) model_.SetFormat(axis(), ParseFormatCode(kFormats[i]));
  });
  connect(scaling_, &QButtonGroup::idClicked, this,
          [this, axis](int id) { model_.SetManual(axis(), id == 0); });
  connect(axisKind_, &QButtonGroup::idClicked, this,
          [this, axis](int id) { model_.SetLogarithmic(axis(), id == 1); });
  return page;
}

QWidget* GraphDialogView::NamesPage() {
  auto* page = new QGroupBox(Q(" Graph Names "), this);
  auto* v = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  name_ = new QLineEdit(page);
  name_->setMaxLength(kGraphNameLength);
  form->addRow(Q("N&ame:"), name_);
  v->addLayout(form);
  names_ = new QListWidget(page);
  v->addWidget(names_);
  auto* row = new QHBoxLayout;
  auto* create = new QPushButton(Q("&New"), page);
  auto* remove = new QPushButton(Q("&Delete"), page);
  auto* use = new QPushButton(Q("&Use"), page);
  row->addWidget(create);
  row->addWidget(remove);
  row->addWidget(use);
  v->addLayout(row);
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& t) {
    int cursor = name_->cursorPosition();
    model_.TypeName(FromQt(t));
    name_->setText(ToQt(model_.nameEdit));
    name_->setCursorPosition(cursor);
  });
  auto show = [this](const Status& s) {
    if (s) return;
    host_.Beep();
    if (!s.message().empty()) host_.ShowMessage("Error:" + s.message());
  };
  connect(create, &QPushButton::clicked, this, [this, show] {
    show(model_.NewName());
    Refresh();
  });
  connect(remove, &QPushButton::clicked, this, [this, show] {
    show(model_.DeleteName());
    Refresh();
  });
  connect(use, &QPushButton::clicked, this, [this] {
    if (model_.UseName()) Refresh();
    else host_.Beep();
  });
  connect(names_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    model_.nameEdit = FromQt(item->text());
    name_->setText(item->text());
  });
  connect(names_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (model_.UseListEntry(names_->row(item))) Refresh();
  });
  return page;
}

QWidget* GraphDialogView::HeadingsPage() {
  auto* page = new QWidget(this);
  auto* form = new QFormLayout(page);
  const char* captions[] = {"&Main: ", "&Second: ", "&X-Axis: ", "&Y-Axis: "};
  for (int i = 0; i < kGraphHeadings; ++i) {
    headings_[i] = new QLineEdit(page);
    form->addRow(Q(captions[i]), headings_[i]);
    connect(headings_[i], &QLineEdit::editingFinished, this, [this, i] {
      model_.headingEdits[i] = FromQt(headings_[i]->text());
      model_.LeaveHeading(i);
      headings_[i]->setText(ToQt(model_.headingEdits[i]));
    });
  }
  return page;
}

QWidget* GraphDialogView::ColorsPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel(Q("Fore"), page), 0, 1);
  grid->addWidget(new QLabel(Q("Back"), page), 0, 2);
  for (int s = 0; s < kGraphSeries; ++s) {
    grid->addWidget(new QLabel(Q("%1").arg(s + 1), page), s + 1, 0);
    colourFore_[s] = ColourBox(page);
    colourBack_[s] = ColourBox(page);
    grid->addWidget(colourFore_[s], s + 1, 1);
    grid->addWidget(colourBack_[s], s + 1, 2);
    connect(colourFore_[s], &QComboBox::currentIndexChanged, this, [this, s](int i) {
      if (!filling_ && i >= 0) model_.SetForeColour(s, i);
    });
    connect(colourBack_[s], &QComboBox::currentIndexChanged, this, [this, s](int i) {
      if (!filling_ && i >= 0) model_.SetBackColour(s, i);
    });
  }
  grid->setRowStretch(kGraphSeries + 1, 1);
  return page;
}

QWidget* GraphDialogView::FontsPage() {
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  fontTabs_ = new QTabBar(page);
  for (const char* t : GraphDialog::kFontTabs) fontTabs_->addTab(Q(t));
  v->addWidget(fontTabs_);
  auto* form = new QFormLayout;
  face_ = new QFontComboBox(page);
  size_ = new QSpinBox(page);
  size_->setRange(1, 255);
  textColour_ = ColourBox(page);
  form->addRow(Q("Font"), face_);
  form->addRow(Q("Size"), size_);
  auto* styles = new QHBoxLayout;
  const char* names[] = {"Bold", "Italic", "Underline", "Strike-out"};
  for (int i = 0; i < 4; ++i) {
    fontStyle_[i] = new QCheckBox(Q(names[i]), page);
    styles->addWidget(fontStyle_[i]);
  }
  form->addRow(Q("Style"), styles);
  form->addRow(Q("Colour"), textColour_);
  v->addLayout(form);
  v->addStretch();
  auto apply = [this] {
    if (filling_) return;
    unsigned style = 0;
    for (int i = 0; i < 4; ++i)
      if (fontStyle_[i]->isChecked()) style |= 1u << i;
    model_.SetFont(fontTabs_->currentIndex(), FromQt(face_->currentFont().family()),
                   size_->value(), style, std::max(0, textColour_->currentIndex()));
  };
  connect(fontTabs_, &QTabBar::currentChanged, this, [this] { RefreshFont(); });
  connect(face_, &QFontComboBox::currentFontChanged, this, apply);
  connect(size_, &QSpinBox::valueChanged, this, apply);
  connect(textColour_, &QComboBox::currentIndexChanged, this, apply);
  for (QCheckBox* c : fontStyle_) connect(c, &QCheckBox::toggled, this, apply);
  return page;
}

QWidget* GraphDialogView::LegendsPage() {
  auto* page = new QGroupBox(Q(" L&egend "), this);
  auto* v = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  for (int i = 0; i < kGraphSeries; ++i) {
    legends_[i] = new QLineEdit(page);
    form->addRow(Q("&%1: ").arg(i + 1), legends_[i]);
    connect(legends_[i], &QLineEdit::editingFinished, this, [this, i] {
      model_.legendEdits[i] = FromQt(legends_[i]->text());
      model_.LeaveLegend(i);
      legends_[i]->setText(ToQt(model_.legendEdits[i]));
    });
  }
  v->addLayout(form);
  auto* clear = new QPushButton(Q("&Clear"), page);
  connect(clear, &QPushButton::clicked, this, [this] {
    model_.ClearLegends();
    for (QLineEdit* e : legends_) e->clear();
  });
  v->addWidget(clear);
  legendType_ = Choice(page, v, " Type ", {"&Row", "&Table"});
  connect(legendType_, &QButtonGroup::idClicked, this,
          [this](int id) { model_.SetLegendTable(id == 1); });
  return page;
}

void GraphDialogView::Refresh() {
  filling_ = true;
  GraphSettings& g = model_.record();
  types2d_->setCurrentRow(model_.TypeIndex(false));
  types3d_->setCurrentRow(model_.TypeIndex(true));
  for (int i = 0; i <= kGraphSeries; ++i) seriesEdits_[i]->setText(ToQt(model_.seriesEdits[i]));
  for (int i = 0; i < kGraphSeries; ++i) {
    labelEdits_[i]->setText(ToQt(model_.labelEdits[i]));
    legends_[i]->setText(ToQt(model_.legendEdits[i]));
    colourFore_[i]->setCurrentIndex(g.foreColour[i] & 15);
    colourBack_[i]->setCurrentIndex(g.backColour[i] & 15);
  }
  Check(labelPlace_, model_.LabelLocation() - 1);
  for (int i = 0; i < kGraphHeadings; ++i) headings_[i]->setText(ToQt(model_.headingEdits[i]));
  Check(legendType_, g.LegendTable() ? 1 : 0);
  names_->clear();
  for (const std::string& n : model_.NameList()) names_->addItem(ToQt(n));
  name_->setText(ToQt(model_.nameEdit));
  filling_ = false;
  RefreshSeriesOptions();
  RefreshScale();
  RefreshFont();
}

void GraphDialogView::RefreshSeriesOptions() {
  filling_ = true;
  const GraphSettings& g = model_.record();
  int tab = seriesTabs_->currentIndex();
  bool other = tab >= kGraphSeries;
  seriesBox_->setVisible(!other);
  otherBox_->setVisible(other);
  int s = std::clamp(tab, 0, 5);
  fore_->setCurrentIndex(g.foreColour[s] & 15);
  back_->setCurrentIndex(g.backColour[s] & 15);
  marks_->setCurrentIndex(std::clamp<int>(g.marker[s], 1, 16) - 1);
  hatch_->setCurrentIndex(std::clamp<int>(g.hatch[s], 1, 8) - 1);
  thickness_->setCurrentIndex(std::clamp<int>(g.thickness[s], 1, 10) - 1);
  style_->setCurrentIndex(std::clamp<int>(g.lineStyle[s], 1, 7) - 1);
  Check(display_, g.display[s] & 3);
  Check(grid_, g.Grid());
  Check(gridStyle_, g.GridSolid() ? 0 : 1);
  inside_->setCurrentIndex(g.insideColour & 15);
  outside_->setCurrentIndex(g.outsideColour & 15);
  filling_ = false;
}

void GraphDialogView::RefreshScale() {
  filling_ = true;
  int a = std::clamp(axisTabs_->currentIndex(), 0, 1);
  const GraphScaleEdits& e = model_.scaleEdits[a];
  lower_->setText(ToQt(e.lower));
  upper_->setText(ToQt(e.upper));
  step_->setText(ToQt(e.step));
  div_->setText(ToQt(e.divisions));
  const GraphSettings& g = model_.record();
  int index = -1;
  for (int i = 0; i < static_cast<int>(std::size(kFormats)); ++i)
    if (ParseFormatCode(kFormats[i]) == g.axes[a].format) index = i;
  format_->setCurrentIndex(index);
  Check(scaling_, g.axes[a].manual ? 0 : 1);
  Check(axisKind_, (a == 0 ? g.LogX() : g.LogY()) ? 1 : 0);
  filling_ = false;
}

void GraphDialogView::RefreshFont() {
  filling_ = true;
  const GraphSettings& g = model_.record();
  int item = std::clamp(fontTabs_->currentIndex(), 0, kGraphTextItems - 1);
  std::string face = g.FontFace(item);
  face_->setCurrentFont(QFont(ToQt(face.empty() ? "ARIAL" : face)));
  size_->setValue(std::max(1, static_cast<int>(g.fontSize[item])));
  for (int i = 0; i < 4; ++i) fontStyle_[i]->setChecked(g.fontStyle[item] & (1u << i));
  textColour_->setCurrentIndex(g.textColour[item] & 15);
  filling_ = false;
}

bool RunGraphSettingsDialog(QWidget* parent, SheetDocument& doc, Host& host,
                            GraphPageRequest page, const CellRange& selection) {
  GraphDialogView dialog(parent, doc, host);
  dialog.OpenOn(page, selection);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace tabulon
