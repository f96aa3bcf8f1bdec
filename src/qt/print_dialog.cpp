#include "qt/print_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QVBoxLayout>

#include "platform/host.h"
#include "print/print_dialog.h"
#include "print/print_file.h"
#include "print/print_service.h"
#include "qt/print_preview.h"
#include "qt/print_target.h"
#include "qt/text_codec.h"
#include "sheet/print_options.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

QLineEdit* Field(QWidget* parent, int width = 60) {
  auto* f = new QLineEdit(parent);
  f->setMinimumWidth(width);
  return f;
}

void Beep(const Status& s) {
  if (!s.ok() && s.message().empty()) QApplication::beep();
}

}  // namespace

PrintDialogView::PrintDialogView(QWidget* parent, PrintService& service)
    : QDialog(parent), service_(service) {
  setWindowTitle("Print");
  setObjectName("Tmyprint");
  setWindowModality(Qt::ApplicationModal);
  auto* top = new QVBoxLayout(this);
  pages_ = new QStackedWidget(this);
  pages_->addWidget(BuildPrintPage());
  pages_->addWidget(BuildOptionsPage());
  top->addWidget(pages_);
  connect(pages_, &QStackedWidget::currentChanged, this,
          [this](int page) { setWindowTitle(page == 0 ? "Print" : "Print Options"); });
}

QWidget* PrintDialogView::BuildPrintPage() {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* printerRow = new QFormLayout;
  printers_ = new QComboBox(page);
  printerRow->addRow("Printer:", printers_);
  left->addLayout(printerRow);
  grid_ = new QCheckBox("Show &Grid", page);
  left->addWidget(grid_);

  auto* what = new QGroupBox("Print", page);
  auto* g = new QGridLayout(what);
  all_ = new QRadioButton("&All", what);
  selected_ = new QRadioButton("&Selected Range", what);
  graph_ = new QRadioButton("&Named Graph", what);
  allText_ = new QLabel(what);
  range_ = Field(what, 120);
  range_->installEventFilter(this);
  graphs_ = new QComboBox(what);
  g->addWidget(all_, 0, 0);
  g->addWidget(allText_, 0, 1);
  g->addWidget(selected_, 1, 0);
  g->addWidget(range_, 1, 1);
  g->addWidget(graph_, 2, 0);
  g->addWidget(graphs_, 2, 1);
  auto* group = new QButtonGroup(this);
  group->addButton(all_);
  group->addButton(selected_);
  group->addButton(graph_);
  left->addWidget(what);
  layout->addLayout(left);

  auto* buttons = new QVBoxLayout;
  auto* print = new QPushButton("&Print", page);
  preview_ = new QPushButton("Pre&view....", page);
  options_ = new QPushButton("Op&tions...", page);
  auto* setup = new QPushButton("S&etup...", page);
  file_ = new QPushButton("Print to &File", page);
  auto* cancel = new QPushButton("&Cancel", page);
  print->setDefault(true);
  for (QPushButton* b : {print, preview_, options_, setup, file_, cancel}) buttons->addWidget(b);
  buttons->addStretch();
  layout->addLayout(buttons);

  connect(printers_, &QComboBox::activated, this,
          [this](int index) { service_.dialog().ChoosePrinter(index); });
  connect(grid_, &QCheckBox::clicked, this, [this](bool on) { service_.dialog().SetShowGrid(on); });
  for (QRadioButton* b : {all_, selected_, graph_})
    connect(b, &QRadioButton::toggled, this, [this] {
      Take();
      UpdateEnabled();
    });
  connect(range_, &QLineEdit::textEdited, this, [this] { selected_->setChecked(true); });
  connect(print, &QPushButton::clicked, this, [this] { RunPrint(); });
  connect(preview_, &QPushButton::clicked, this, [this] { RunPreview(); });
  connect(options_, &QPushButton::clicked, this, [this] {
    Take();
    service_.dialog().ShowOptions();
    LoadOptions();
    pages_->setCurrentIndex(1);
    top_->setFocus();
  });
  connect(setup, &QPushButton::clicked, this, [this] { RunSetup(); });
  connect(file_, &QPushButton::clicked, this, [this] { RunPrintToFile(); });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
  return page;
}

QWidget* PrintDialogView::BuildOptionsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* margins = new QGroupBox("Margins:", page);
  auto* m = new QFormLayout(margins);
  top_ = Field(margins);
  left_ = Field(margins);
  bottom_ = Field(margins);
  right_ = Field(margins);
  m->addRow("&Top: ", top_);
  m->addRow("L&eft: ", left_);
  m->addRow("&Bot: ", bottom_);
  m->addRow("&Rt: ", right_);
  auto* borders = new QGroupBox("Borders:", page);
  auto* b = new QFormLayout(borders);
  rows_ = Field(borders, 100);
  cols_ = Field(borders, 100);
  rows_->installEventFilter(this);
  cols_->installEventFilter(this);
  b->addRow("Ro&ws: ", rows_);
  b->addRow("Col&s: ", cols_);
  auto* upper = new QHBoxLayout;
  upper->addWidget(margins);
  upper->addWidget(borders);
  layout->addLayout(upper);

  auto* texts = new QGridLayout;
  header_ = Field(page, 240);
  footer_ = Field(page, 240);
  header_->setMaxLength(240);
  footer_->setMaxLength(240);
  headerLine_ = new QCheckBox("Line", page);
  footerLine_ = new QCheckBox("Line", page);
  auto* hl = new QLabel("&Header: ", page);
  auto* fl = new QLabel("&Footer: ", page);
  hl->setBuddy(header_);
  fl->setBuddy(footer_);
  texts->addWidget(hl, 0, 0);
  texts->addWidget(header_, 0, 1);
  texts->addWidget(headerLine_, 0, 2);
  texts->addWidget(fl, 1, 0);
  texts->addWidget(footer_, 1, 1);
  texts->addWidget(footerLine_, 1, 2);
  layout->addLayout(texts);

  auto* lower = new QHBoxLayout;
  auto* scaleBox = new QFormLayout;
  // The offered scales; any other can be typed.
  auto* scales = new QComboBox(page);
  scales->setEditable(true);
  for (const char* s : {"125", "100", "87", "75", "50", "25"}) scales->addItem(s);
  scale_ = scales->lineEdit();
  scaleBox->addRow("&Scale (%):", scales);
  lower->addLayout(scaleBox);
  auto* flags = new QVBoxLayout;
  frame_ = new QCheckBox("Fr&ame ( Show Margin )", page);
  mono_ = new QCheckBox("&Mono ( Disables Shades )", page);
  flags->addWidget(frame_);
  flags->addWidget(mono_);
  lower->addLayout(flags);
  auto* orient = new QGroupBox("Page Orientation:", page);
  auto* o = new QVBoxLayout(orient);
  portrait_ = new QRadioButton("&Portrait", orient);
  landscape_ = new QRadioButton("&Landscape", orient);
  o->addWidget(portrait_);
  o->addWidget(landscape_);
  lower->addWidget(orient);
  layout->addLayout(lower);
  info_ = new QLabel(page);
  layout->addWidget(info_);

  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton("&Ok", page);
  auto* cancel = new QPushButton("&Cancel", page);
  auto* defaults = new QPushButton("&Defaults", page);
  buttons->addStretch();
  for (QPushButton* btn : {ok_, cancel, defaults}) buttons->addWidget(btn);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, [this] {
    TakeOptions();
    Status s = service_.dialog().OptionsOk();
    if (!s.ok()) {
      service_.workspace().Show(s);
      return;
    }
    LoadOptions();
    pages_->setCurrentIndex(0);
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    service_.dialog().OptionsCancel();
    pages_->setCurrentIndex(0);
  });
  connect(defaults, &QPushButton::clicked, this, [this] {
    service_.dialog().OptionsDefaults();
    pages_->setCurrentIndex(0);
  });
  return page;
}

void PrintDialogView::Open() {
  Load();
  pages_->setCurrentIndex(0);
  show();
  raise();
  activateWindow();
}

void PrintDialogView::Load() {
  PrintDialog& d = service_.dialog();
  printers_->clear();
  for (const std::string& p : d.printers()) printers_->addItem(ToQt(p));
  printers_->setCurrentIndex(d.printerIndex());
  grid_->setChecked(d.showGrid());
  allText_->setText(ToQt(d.AllText()));
  range_->setText(ToQt(d.rangeText));
  graphs_->clear();
  for (const std::string& g : d.GraphChoices()) graphs_->addItem(ToQt(g));
  graphs_->setCurrentIndex(std::max(0, std::min(d.graphIndex, graphs_->count() - 1)));
  QRadioButton* on = d.what == PrintWhat::kAll ? all_ : d.what == PrintWhat::kSelected ? selected_ : graph_;
  on->setChecked(true);
  UpdateEnabled();
}

void PrintDialogView::Take() {
  PrintDialog& d = service_.dialog();
  d.what = all_->isChecked() ? PrintWhat::kAll
           : graph_->isChecked() ? PrintWhat::kGraph
                                 : PrintWhat::kSelected;
  d.rangeText = FromQt(range_->text());
  d.graphIndex = graphs_->currentIndex();
}

void PrintDialogView::UpdateEnabled() {
  preview_->setEnabled(service_.dialog().PreviewEnabled());
  file_->setEnabled(service_.dialog().FileEnabled());
}

void PrintDialogView::LoadOptions() {
  const PrintDialog::OptionFields& f = service_.dialog().fields;
  top_->setText(ToQt(f.top));
  left_->setText(ToQt(f.left));
  bottom_->setText(ToQt(f.bottom));
  right_->setText(ToQt(f.right));
  rows_->setText(ToQt(f.rows));
  cols_->setText(ToQt(f.cols));
  header_->setText(ToQt(f.header));
  footer_->setText(ToQt(f.footer));
  headerLine_->setChecked(f.headerLine);
  footerLine_->setChecked(f.footerLine);
  scale_->setText(ToQt(f.scale));
  frame_->setChecked(f.frame);
  mono_->setChecked(f.mono);
  (f.landscape ? landscape_ : portrait_)->setChecked(true);
  QStringList info;
  for (const std::string& line : service_.dialog().PrinterInfo()) info << ToQt(line);
  info_->setText(info.join("   "));
}

void PrintDialogView::TakeOptions() {
  PrintDialog::OptionFields& f = service_.dialog().fields;
  f.top = FromQt(top_->text());
  f.left = FromQt(left_->text());
  f.bottom = FromQt(bottom_->text());
  f.right = FromQt(right_->text());
  f.rows = FromQt(rows_->text());
  f.cols = FromQt(cols_->text());
  f.header = FromQt(header_->text());
  f.footer = FromQt(footer_->text());
  f.headerLine = headerLine_->isChecked();
  f.footerLine = footerLine_->isChecked();
  f.scale = FromQt(scale_->text());
  f.frame = frame_->isChecked();
  f.mono = mono_->isChecked();
  f.landscape = landscape_->isChecked();
}

void PrintDialogView::SetRangeText(int field, const std::string& text) {
  QLineEdit* f = field == kRowsField ? rows_ : field == kColsField ? cols_ : range_;
  f->setText(ToQt(text));
  if (f == range_) selected_->setChecked(true);
  show();
  raise();
  f->setFocus();
}

void PrintDialogView::RunPrint() {
  Take();
  hide();
  Status s = service_.dialog().Print();
  Beep(s);
  if (s.ok()) {
    accept();
  } else {
    show();
  }
}

void PrintDialogView::RunPreview() {
  Take();
  CellRange range = service_.dialog().ChosenRange();
  if (!range.IsDefined()) {
    QApplication::beep();
    return;
  }
  PrintPreviewView preview(this, service_, range);
  preview.exec();
}

void PrintDialogView::RunPrintToFile() {
  Take();
  std::optional<std::string> name =
      service_.workspace().host().SaveFileName("Print to File", kPrintFileFilter, "");
  if (!name) return;
  Status s = service_.dialog().PrintToFile(*name);
  Beep(s);
  if (s.ok()) accept();
}

void PrintDialogView::RunSetup() {
  if (service_.PrintsToPdf()) {
    // The PDF file has no printer of its own: the setup dialog sets the
    // orientation on a PDF printer.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageOrientation(service_.options().landscape ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
    QPageSetupDialog setup(&pdf, this);
    if (setup.exec() != QDialog::Accepted) return;
    service_.options().landscape = pdf.pageLayout().orientation() == QPageLayout::Landscape;
  } else {
    PrinterPageTarget target(service_.options().printer);
    target.SetLandscape(service_.options().landscape);
    QPageSetupDialog setup(&target.printer(), this);
    if (setup.exec() != QDialog::Accepted) return;
    service_.options().landscape = target.Landscape();
  }
  // The orientation buttons follow the printer.
  (service_.options().landscape ? landscape_ : portrait_)->setChecked(true);
}

bool PrintDialogView::eventFilter(QObject* obj, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick) {
    int field = obj == range_ ? kRangeField : obj == rows_ ? kRowsField : obj == cols_ ? kColsField : -1;
    if (field >= 0) {
      auto* edit = static_cast<QLineEdit*>(obj);
      hide();
      emit rangePromptRequested(field, edit->text());
      return true;
    }
  }
  return QDialog::eventFilter(obj, e);
}

void PrintDialogView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    // Escape beeps and closes.
    QApplication::beep();
    reject();
    return;
  }
  QDialog::keyPressEvent(e);
}

// --- the status window -------------------------------------------------------------

PrintStatusView::PrintStatusView(QWidget* parent, PrintStatus& status)
    : QDialog(parent), status_(status) {
  setWindowTitle(PrintStatus::kCaption);
  setObjectName("TAbortForm");
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  page_ = new QLabel("Page:", this);
  line_ = new QLabel("Lines:", this);
  gauge_ = new QProgressBar(this);
  gauge_->setRange(0, 100);
  auto* abort = new QPushButton("Abort Printing", this);
  layout->addWidget(page_);
  layout->addWidget(line_);
  layout->addWidget(gauge_);
  layout->addWidget(abort);
  connect(abort, &QPushButton::clicked, this, [this] { status_.Abort(); });
  status_.shown = [this](bool open) {
    if (open) {
      Update();
      show();
      raise();
    } else {
      hide();
    }
    QApplication::processEvents();
  };
  status_.changed = [this] {
    Update();
    QApplication::processEvents();
  };
}

PrintStatusView::~PrintStatusView() {
  status_.shown = nullptr;
  status_.changed = nullptr;
}

void PrintStatusView::Update() {
  page_->setText(ToQt(status_.PageText()));
  line_->setText(ToQt(status_.LineText()));
  gauge_->setValue(status_.percent());
}

}  // namespace tabulon
