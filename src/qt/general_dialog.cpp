#include "qt/general_dialog.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "display/format.h"
#include "qt/text_codec.h"
#include "sheet/session.h"
#include "ui/general_settings.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

QComboBox* Choices(QWidget* parent, std::initializer_list<const char*> items) {
  auto* box = new QComboBox(parent);
  for (const char* i : items) box->addItem(i);
  return box;
}

}  // namespace

GeneralDialogView::GeneralDialogView(QWidget* parent, Workspace& ws) : QDialog(parent), ws_(ws) {
  setWindowTitle("General: Set Parameters");
  setObjectName("TGendlg");
  GeneralSettings& g = ws_.general();
  auto* top = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  top->addWidget(tabs_);

  // Format.
  auto* formatPage = new QWidget;
  auto* ff = new QFormLayout(formatPage);
  format_ = new QComboBox(formatPage);
  for (const std::string& f : ws_.config().formats) format_->addItem(ToQt(f));
  format_->setEditable(true);
  ff->addRow("Default format:", format_);
  tabs_->addTab(formatPage, "Format");

  // Option.
  auto* optionPage = new QWidget;
  auto* of = new QFormLayout(optionPage);
  rows_ = new QLineEdit(optionPage);
  columns_ = new QLineEdit(optionPage);
  pages_ = Choices(optionPage, {"1", "2", "4", "8", "16", "32", "64"});
  solid_ = new QCheckBox("Display &solid", optionPage);
  horizontal_ = new QCheckBox("Show &horizontal", optionPage);
  vertical_ = new QCheckBox("Show &vertical", optionPage);
  alignment_ = Choices(optionPage, {"&Left", "&Center", "&Right"});
  zeros_ = new QCheckBox("Show &Zero Values", optionPage);
  negative_ = new QCheckBox("Color &Negative Values", optionPage);
  banding_ = new QCheckBox("Apply &Banding Color ", optionPage);
  raised_ = new QCheckBox("&3D Raise Borders", optionPage);
  protect_ = new QCheckBox("&Protect Locked Cells", optionPage);
  auto_ = new QCheckBox("&Auto Recalc Cells", optionPage);
  of->addRow("Ro&ws: ", rows_);
  of->addRow("Col&umns: ", columns_);
  of->addRow("Pages:", pages_);
  auto* grid = new QHBoxLayout;
  for (QCheckBox* b : {solid_, horizontal_, vertical_}) grid->addWidget(b);
  of->addRow(" Grid Lines ", grid);
  of->addRow("Label Alignment:", alignment_);
  for (QCheckBox* b : {zeros_, negative_, banding_, raised_, protect_, auto_}) of->addRow(b);
  tabs_->addTab(optionPage, "Option");

  // Typeface.
  auto* facePage = new QWidget;
  auto* tf = new QFormLayout(facePage);
  fontFace_ = new QComboBox(facePage);
  fontFace_->addItems(QFontDatabase::families());
  fontFace_->setEditable(true);
  fontSize_ = new QSpinBox(facePage);
  fontSize_->setRange(4, 96);
  tf->addRow("Font:", fontFace_);
  tf->addRow("Size:", fontSize_);
  tabs_->addTab(facePage, "Typeface");

  // Color.
  auto* colourPage = new QWidget;
  auto* cf = new QFormLayout(colourPage);
  colourType_ = Choices(colourPage, {"&Label", "&Value", "&Negative", "&Unlocked", "&Cursor",
                                     "O&dd", "B&ackgnd"});
  foreground_ = new QSpinBox(colourPage);
  foreground_->setRange(0, 15);
  ignoreFg_ = new QCheckBox("Ignor&e Foreground", colourPage);
  red_ = new QSpinBox(colourPage);
  green_ = new QSpinBox(colourPage);
  blue_ = new QSpinBox(colourPage);
  for (QSpinBox* b : {red_, green_, blue_}) b->setRange(0, 255);
  ignoreBg_ = new QCheckBox("&Ignore Background", colourPage);
  auto* reset = new QPushButton("Re&set", colourPage);
  cf->addRow(" &Type ", colourType_);
  cf->addRow(" &Foreground ", foreground_);
  cf->addRow(ignoreFg_);
  cf->addRow("&R:", red_);
  cf->addRow("&G:", green_);
  cf->addRow("&B:", blue_);
  cf->addRow(ignoreBg_);
  cf->addRow(reset);
  tabs_->addTab(colourPage, "Color");

  // Files.
  auto* filesPage = new QWidget;
  auto* fl = new QFormLayout(filesPage);
  autoexec_ = new QLineEdit(filesPage);
  toolbar_ = new QLineEdit(filesPage);
  history_ = new QSpinBox(filesPage);
  history_->setRange(0, 10);
  auto* clear = new QPushButton("&Clear", filesPage);
  fl->addRow("&Autoexec", autoexec_);
  fl->addRow("Toolbar (&Macros)", toolbar_);
  fl->addRow("&History List: ", history_);
  fl->addRow(clear);
  tabs_->addTab(filesPage, "Files");

  // Advanced.
  auto* advPage = new QWidget;
  auto* af = new QFormLayout(advPage);
  argSep_ = Choices(advPage, {",", ";"});
  thousands_ = Choices(advPage, {",", "."});
  decimal_ = Choices(advPage, {".", ","});
  currency_ = Choices(advPage, {"$", "\xa3", "\xa5", "Dm"});
  currency_->setEditable(true);
  prefix_ = new QCheckBox("&Prefix", advPage);
  winCtrl_ = new QCheckBox("W&in Control Keys", advPage);
  usDate_ = new QCheckBox("&US Date", advPage);
  preOpen_ = new QCheckBox("Pre&Open Sheet", advPage);
  oldDialogs_ = new QCheckBox("Win3 FileDlg", advPage);
  af->addRow("&Argument Separator", argSep_);
  af->addRow("&Thousands Separator", thousands_);
  af->addRow("&Decimal", decimal_);
  af->addRow("&Currency", currency_);
  af->addRow(prefix_);
  for (QCheckBox* b : {winCtrl_, usDate_, preOpen_, oldDialogs_}) af->addRow(b);
  tabs_->addTab(advPage, "Advanced");

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("&Ok", this);
  auto* cancel = new QPushButton("Canc&el", this);
  auto* global = new QPushButton("A&pply Globally", this);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(global);
  top->addLayout(buttons);

  auto page = [this] { return static_cast<GeneralPage>(tabs_->currentIndex()); };
  connect(ok, &QPushButton::clicked, this, [this, &g, page] {
    std::uint8_t code = ParseFormatCode(FromQt(format_->currentText().section(',', 0, 0)));
    if (code != kFormatUseDefault) g.defaultFormat = code;
    g.rowHeight = rows_->text().toInt();
    g.columnUnits = columns_->text().toInt();
    g.raised3d = raised_->isChecked();
    g.autoexec = FromQt(autoexec_->text());
    g.toolbar = FromQt(toolbar_->text());
    g.historySize = history_->value();
    g.Ok(page());
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this, &g] {
    g.Cancel();
    reject();
  });
  connect(global, &QPushButton::clicked, this, [&g, page] { g.ApplyGlobally(page()); });

  auto flag = [this](QCheckBox* box, std::function<void(bool)> fn) {
    connect(box, &QCheckBox::toggled, this, [this, fn](bool on) {
      if (!loading_) fn(on);
    });
  };
  flag(zeros_, [&g](bool on) { g.SetShowZeros(on); });
  flag(negative_, [&g](bool on) { g.SetNegativeColour(on); });
  flag(banding_, [&g](bool on) { g.SetBanding(on); });
  flag(protect_, [&g](bool on) { g.SetProtect(on); });
  flag(auto_, [&g](bool on) { g.SetAutoRecalc(on); });
  auto gridLines = [this, &g](bool) {
    if (!loading_) g.SetGridLines(solid_->isChecked(), horizontal_->isChecked(), vertical_->isChecked());
  };
  for (QCheckBox* b : {solid_, horizontal_, vertical_}) connect(b, &QCheckBox::toggled, this, gridLines);
  connect(pages_, &QComboBox::activated, this, [this, &g] { g.SetPageCount(pages_->currentText().toInt()); });
  connect(alignment_, &QComboBox::activated, this, [&g](int i) {
    g.SetLabelAlignment(i == 0 ? '\'' : i == 1 ? '^' : '"');
  });
  auto font = [this, &g] {
    if (!loading_) g.SetFont(FromQt(fontFace_->currentText()), fontSize_->value(), 0);
  };
  connect(fontFace_, &QComboBox::currentTextChanged, this, font);
  connect(fontSize_, &QSpinBox::valueChanged, this, font);
  connect(colourType_, &QComboBox::activated, this, [this, &g](int i) {
    g.colourType = static_cast<ColourType>(i);
    LoadColour();
  });
  connect(foreground_, &QSpinBox::valueChanged, this, [this, &g](int v) {
    if (!loading_) g.SetForeground(v);
  });
  auto background = [this, &g] {
    if (!loading_) g.SetBackground(red_->value(), green_->value(), blue_->value());
  };
  for (QSpinBox* b : {red_, green_, blue_}) connect(b, &QSpinBox::valueChanged, this, background);
  flag(ignoreFg_, [&g](bool on) { g.SetIgnoreForeground(on); });
  flag(ignoreBg_, [&g](bool on) { g.SetIgnoreBackground(on); });
  connect(reset, &QPushButton::clicked, this, [this, &g] {
    g.ResetColours();
    LoadColour();
  });
  connect(clear, &QPushButton::clicked, this, [&g] { g.ClearHistory(); });
  auto separator = [this](QComboBox* box, std::function<Status(char)> fn) {
    connect(box, &QComboBox::activated, this, [this, box, fn] {
      std::string t = FromQt(box->currentText());
      if (t.empty()) return;
      ws_.Show(fn(t[0]));
      Load();
    });
  };
  separator(argSep_, [&g](char c) { return g.SetArgumentSeparator(c); });
  separator(thousands_, [&g](char c) { return g.SetThousandsSeparator(c); });
  separator(decimal_, [&g](char c) { return g.SetDecimal(c); });
  auto currency = [this, &g] {
    if (!loading_) g.SetCurrency(FromQt(currency_->currentText()), prefix_->isChecked());
  };
  connect(currency_, &QComboBox::currentTextChanged, this, currency);
  connect(prefix_, &QCheckBox::toggled, this, currency);
  auto flags = [this, &g](bool) {
    if (!loading_)
      g.SetFlags(winCtrl_->isChecked(), usDate_->isChecked(), preOpen_->isChecked(),
                 oldDialogs_->isChecked());
  };
  for (QCheckBox* b : {winCtrl_, usDate_, preOpen_, oldDialogs_})
    connect(b, &QCheckBox::toggled, this, flags);
}

void GeneralDialogView::Load() {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  loading_ = true;
  GeneralSettings& g = ws_.general();
  const SheetSettings& s = w->document().settings();
  const ProgramSettings& p = ws_.session().settings();
  rows_->setText(QString::number(g.rowHeight));
  columns_->setText(QString::number(g.columnUnits));
  pages_->setCurrentText(QString::number(g.pageCount()));
  unsigned lines = w->activePane().gridLines;
  solid_->setChecked((lines & 4) == 0);
  horizontal_->setChecked(lines & 1);
  vertical_->setChecked(lines & 2);
  alignment_->setCurrentIndex(s.labelPrefix == '^' ? 1 : s.labelPrefix == '"' ? 2 : 0);
  zeros_->setChecked(!s.hideZeros);
  negative_->setChecked(s.negativeColour);
  banding_->setChecked(s.banding);
  raised_->setChecked(g.raised3d);
  protect_->setChecked(s.protect);
  auto_->setChecked(!s.manualRecalc);
  fontFace_->setCurrentText(ToQt(w->document().extras().sheetFontName));
  fontSize_->setValue(w->defaultRowHeight);
  autoexec_->setText(ToQt(g.autoexec));
  toolbar_->setText(ToQt(g.toolbar));
  history_->setValue(g.historySize);
  argSep_->setCurrentText(QString(QChar(p.argSeparator)));
  thousands_->setCurrentText(QString(QChar(p.thousandsChar)));
  decimal_->setCurrentText(QString(QChar(p.decimalChar)));
  bool prefix = !p.currencyPrefix.empty();
  prefix_->setChecked(prefix);
  currency_->setCurrentText(ToQt(prefix ? p.currencyPrefix : p.currencySuffix));
  winCtrl_->setChecked(ws_.config().winControlKeys);
  usDate_->setChecked(p.usDate);
  preOpen_->setChecked(ws_.config().preOpen);
  oldDialogs_->setChecked(ws_.config().oldFileDialogs);
  loading_ = false;
  LoadColour();
}

void GeneralDialogView::LoadColour() {
  loading_ = true;
  GeneralSettings& g = ws_.general();
  std::uint32_t word = g.ColourWord();
  colourType_->setCurrentIndex(static_cast<int>(g.colourType));
  foreground_->setValue(g.foregroundIndex());
  ignoreFg_->setChecked(g.ignoreForeground());
  ignoreBg_->setChecked(g.ignoreBackground());
  red_->setValue(static_cast<int>(word & 0xFF));
  green_->setValue(static_cast<int>((word >> 8) & 0xFF));
  blue_->setValue(static_cast<int>((word >> 16) & 0xFF));
  loading_ = false;
}

void GeneralDialogView::Open(int page) {
  Load();
  tabs_->setCurrentIndex(page);
  show();
  raise();
}

void GeneralDialogView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    ws_.general().Escape();  // keeps every change made so far
    hide();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace tabulon
