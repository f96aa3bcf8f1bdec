#include "qt/properties_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPixmap>
#include <QRadioButton>
#include <QVBoxLayout>

#include "sheet/cell_record.h"
#include "edit/cell_text.h"
#include "sheet/sheet_document.h"
#include "qt/text_codec.h"
#include "ui/row_painter.h"

namespace tabulon {

namespace {

QColor ToColor(Rgb c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QIcon Swatch(Rgb c) {
  QPixmap p(16, 12);
  p.fill(ToColor(c));
  return QIcon(p);
}

// A group box of radio buttons whose ids are their positions.
QButtonGroup* RadioGroup(QWidget* owner, QBoxLayout* into, const char* title,
                         std::initializer_list<const char*> captions) {
  auto* box = new QGroupBox(title, owner);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(owner);
  int id = 0;
  for (const char* c : captions) {
    auto* b = new QRadioButton(c, box);
    layout->addWidget(b);
    group->addButton(b, id++);
  }
  into->addWidget(box);
  return group;
}

void Select(QButtonGroup* g, int id) {
  if (QAbstractButton* b = g->button(id)) b->setChecked(true);
}

}  // namespace

PropertiesDialogView::PropertiesDialogView(QWidget* parent,
                                           const std::vector<std::string>& formats)
    : QDialog(parent) {
  setWindowTitle("Properties");
  setObjectName("TPropty");
  setWindowModality(Qt::ApplicationModal);
  // Wide enough for all six tabs side by side.
  setMinimumWidth(480);
  auto* top = new QVBoxLayout(this);
  auto* rangeRow = new QFormLayout;
  range_ = new QLineEdit(this);
  range_->installEventFilter(this);
  rangeRow->addRow("&Range: ", range_);
  top->addLayout(rangeRow);
  tabs_ = new QTabWidget(this);
  top->addWidget(tabs_);

  // Format: every format as a group and a choice within it, a sample, and
  // the configured quick formats.
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  auto* lists = new QHBoxLayout;
  auto* groupColumn = new QVBoxLayout;
  formatGroups_ = new QListWidget(page);
  for (int g = 0; g < kFormatGroupCount; ++g)
    formatGroups_->addItem(FormatGroupInfoOf(static_cast<FormatGroup>(g)).caption);
  auto* groupLabel = new QLabel("&Group:", page);
  groupLabel->setBuddy(formatGroups_);
  groupColumn->addWidget(groupLabel);
  groupColumn->addWidget(formatGroups_);
  auto* choiceColumn = new QVBoxLayout;
  formatChoices_ = new QListWidget(page);
  choiceLabel_ = new QLabel(page);
  choiceLabel_->setBuddy(formatChoices_);
  choiceColumn->addWidget(choiceLabel_);
  choiceColumn->addWidget(formatChoices_);
  lists->addLayout(groupColumn);
  lists->addLayout(choiceColumn);
  v->addLayout(lists);
  formatSample_ = new QLabel(page);
  formatSample_->setObjectName("formatSample");
  v->addWidget(formatSample_);
  auto* quickBox = new QGroupBox(" Quick Formats ", page);
  auto* quickGrid = new QGridLayout(quickBox);
  for (const QuickFormat& q : QuickFormats(formats)) {
    auto* b = new QPushButton(ToQt(q.caption), quickBox);
    b->setAutoDefault(false);
    int n = static_cast<int>(quickButtons_.size());
    quickGrid->addWidget(b, n / 3, n % 3);
    quickButtons_.push_back(b);
    std::uint8_t code = q.code;
    connect(b, &QPushButton::clicked, this, [this, code] {
      logic_.SetFormat(code);
      LoadFormatPage();
      Changed();
    });
  }
  if (quickButtons_.empty()) quickBox->hide();
  v->addWidget(quickBox);
  tabs_->addTab(page, kPropertyTabCaptions[0]);

  // Shade.
  page = new QWidget;
  v = new QVBoxLayout(page);
  auto* shadeBox = new QGroupBox(" Background Shade ", page);
  auto* sv = new QVBoxLayout(shadeBox);
  shade_ = new QComboBox(shadeBox);
  for (int i = 0; i < 16; ++i) shade_->addItem(Swatch(PaletteEntry(i)), QString("Colour %1").arg(i), PaletteEntry(i));
  shadeDefault_ = new QCheckBox("&Default", shadeBox);
  sv->addWidget(shade_);
  sv->addWidget(shadeDefault_);
  v->addWidget(shadeBox);
  v->addStretch();
  tabs_->addTab(page, kPropertyTabCaptions[1]);

  // Typeface.
  page = new QWidget;
  auto* form = new QFormLayout(page);
  font_ = new QComboBox(page);
  form->addRow("Font:", font_);
  size_ = new QSpinBox(page);
  size_->setRange(0, 255);
  size_->setSpecialValueText("Default");
  form->addRow("Size:", size_);
  auto* styles = new QHBoxLayout;
  bold_ = new QCheckBox("Bold", page);
  italic_ = new QCheckBox("Italic", page);
  underline_ = new QCheckBox("Underline", page);
  styles->addWidget(bold_);
  styles->addWidget(italic_);
  styles->addWidget(underline_);
  form->addRow(styles);
  fontColour_ = new QComboBox(page);
  for (int i = 0; i < 16; ++i) fontColour_->addItem(Swatch(ForegroundColour(i)), QString::number(i));
  form->addRow("Colour:", fontColour_);
  sample_ = new QLabel(page);
  sample_->setAutoFillBackground(true);
  sample_->setMinimumHeight(40);
  sample_->setFrameShape(QFrame::Box);
  form->addRow(sample_);
  tabs_->addTab(page, kPropertyTabCaptions[2]);

  // Prefix, Lock, Border.
  page = new QWidget;
  v = new QVBoxLayout(page);
  prefix_ = RadioGroup(page, v, " Label Prefix ", {"&Left", "&Center", "&Right"});
  v->addStretch();
  tabs_->addTab(page, kPropertyTabCaptions[3]);
  page = new QWidget;
  v = new QVBoxLayout(page);
  lock_ = RadioGroup(page, v, " Cell Protection ", {"&Enable", "&Disable"});
  v->addStretch();
  tabs_->addTab(page, kPropertyTabCaptions[4]);
  page = new QWidget;
  auto* h = new QHBoxLayout(page);
  borderType_ = RadioGroup(page, h, " Types ", {"&None", "&Single", "&Thick"});
  borderApply_ = RadioGroup(page, h, " Apply ", {"&In", "&Out", "&All", "&Clear"});
  tabs_->addTab(page, kPropertyTabCaptions[5]);

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton("&Ok", QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton("Ca&ncel", QDialogButtonBox::RejectRole);
  top->addWidget(buttons);
  connect(ok_, &QPushButton::clicked, this, [this] { Accept(); });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

  // User changes mark their page; presets made by LoadControls do not.
  connect(formatGroups_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (loading_ || row < 0) return;
    logic_.SetFormatGroup(static_cast<FormatGroup>(row));
    LoadFormatPage();
    Changed();
  });
  connect(formatChoices_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (loading_ || row < 0) return;
    logic_.SetFormatChoice(row);
    LoadFormatPage();
    Changed();
  });
  connect(shade_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!loading_ && i >= 0) logic_.SetShade(shade_->itemData(i).toUInt()), Changed();
  });
  connect(shadeDefault_, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) logic_.SetShadeDefault(on), Changed();
  });
  connect(font_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!loading_ && i >= 0) logic_.SetFont(static_cast<std::uint8_t>(font_->itemData(i).toInt())), Changed();
  });
  connect(size_, &QSpinBox::valueChanged, this, [this](int v) {
    if (!loading_) logic_.SetFontSize(v), Changed();
  });
  auto style = [this](bool) {
    if (loading_) return;
    logic_.SetFontStyle((bold_->isChecked() ? 1u : 0u) | (italic_->isChecked() ? 2u : 0u) |
                        (underline_->isChecked() ? 4u : 0u));
    Changed();
  };
  for (QCheckBox* b : {bold_, italic_, underline_}) connect(b, &QCheckBox::toggled, this, style);
  connect(fontColour_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!loading_ && i >= 0) logic_.SetFontColour(i), Changed();
  });
  connect(prefix_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.SetPrefix(static_cast<PrefixChoice>(id)), Changed();
  });
  connect(lock_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.SetLock(id == 0), Changed();
  });
  connect(borderType_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.SetBorderType(static_cast<BorderType>(id)), Changed();
  });
  connect(borderApply_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.SetBorderApply(static_cast<BorderApply>(id)), Changed();
  });
}

void PropertiesDialogView::OpenOn(PropertyPage page, SheetDocument& doc,
                                  const CursorSource& cursor, const CellRange& selection,
                                  const std::vector<std::string>& fontNames) {
  doc_ = &doc;
  cursor_ = &cursor;
  logic_.Activate(doc, selection);
  loading_ = true;
  font_->clear();
  font_->addItem("(Default)", static_cast<int>(kDefaultFont));
  for (std::size_t i = 0; i < fontNames.size() && i < kDefaultFont; ++i)
    font_->addItem(ToQt(fontNames[i]), static_cast<int>(i));
  const CellRecord* cell =
      selection.IsDefined() ? doc.cells().FindCell(selection.Top(), selection.Left()) : nullptr;
  sample_->setText(cell ? ToQt(CellDisplayText(doc, cell)).trimmed() : QString("AaBbYyZz"));
  loading_ = false;
  LoadControls();
  tabs_->setCurrentIndex(static_cast<int>(page));
  show();
  raise();
  activateWindow();
  tabs_->tabBar()->setFocus();
}

void PropertiesDialogView::LoadControls() {
  loading_ = true;
  range_->setText(ToQt(logic_.rangeText()));
  LoadFormatPage();
  int s = shade_->findData(logic_.shade());
  if (s < 0) {
    shade_->addItem(Swatch(logic_.shade()), "Custom", logic_.shade());
    s = shade_->count() - 1;
  }
  shade_->setCurrentIndex(s);
  shadeDefault_->setChecked(logic_.shadeDefault());
  int fi = font_->findData(static_cast<int>(logic_.font()));
  font_->setCurrentIndex(fi < 0 ? 0 : fi);
  size_->setValue(logic_.fontSize());
  bold_->setChecked(logic_.fontStyle() & 1);
  italic_->setChecked(logic_.fontStyle() & 2);
  underline_->setChecked(logic_.fontStyle() & 4);
  fontColour_->setCurrentIndex(logic_.fontColour());
  Select(prefix_, static_cast<int>(logic_.prefix()));
  Select(lock_, logic_.lockEnable() ? 0 : 1);
  Select(borderType_, static_cast<int>(logic_.borderType()));
  Select(borderApply_, static_cast<int>(logic_.borderApply()));
  ok_->setEnabled(logic_.okEnabled());
  UpdateSample();
  loading_ = false;
}

void PropertiesDialogView::LoadFormatPage() {
  bool wasLoading = loading_;
  loading_ = true;
  FormatPick pick = logic_.formatPick();
  const FormatGroupInfo& info = FormatGroupInfoOf(pick.group);
  formatGroups_->setCurrentRow(static_cast<int>(pick.group));
  formatChoices_->clear();
  for (int c = 0; c < info.choices; ++c)
    formatChoices_->addItem(ToQt(FormatChoiceCaption(pick.group, c)));
  choiceLabel_->setText(info.choices > 0 ? info.choiceCaption : "");
  formatChoices_->setEnabled(info.choices > 0);
  if (info.choices > 0) formatChoices_->setCurrentRow(pick.choice);
  QString sample = doc_ != nullptr ? ToQt(logic_.FormatSample(*doc_)) : QString();
  formatSample_->setText("Sample: " + sample);
  loading_ = wasLoading;
}

void PropertiesDialogView::UpdateSample() {
  QPalette pal = sample_->palette();
  pal.setColor(QPalette::Window,
               logic_.shadeDefault() ? QColor(Qt::white) : ToColor(logic_.shade()));
  pal.setColor(QPalette::WindowText, ToColor(ForegroundColour(logic_.fontColour())));
  sample_->setPalette(pal);
  QFont font = sample_->font();
  if (font_->currentIndex() > 0) font.setFamily(font_->currentText());
  if (logic_.fontSize() > 0) font.setPixelSize(logic_.fontSize());
  font.setBold(logic_.fontStyle() & 1);
  font.setItalic(logic_.fontStyle() & 2);
  font.setUnderline(logic_.fontStyle() & 4);
  sample_->setFont(font);
}

void PropertiesDialogView::Changed() {
  ok_->setEnabled(logic_.okEnabled());
  UpdateSample();
}

void PropertiesDialogView::SetRangeText(const std::string& text) {
  range_->setText(ToQt(text));
  show();
  raise();
  range_->setFocus();
}

void PropertiesDialogView::Accept() {
  if (doc_ == nullptr || !logic_.okEnabled()) return;
  logic_.SetRangeText(FromQt(range_->text()));
  if (!logic_.Apply(*doc_, cursor_)) {
    // Not a range of the sheet: nothing was changed; let the user fix it.
    QApplication::beep();
    range_->setFocus();
    range_->selectAll();
    return;
  }
  accept();
  emit applied();
}

void PropertiesDialogView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && !tabs_->tabBar()->hasFocus()) {
    tabs_->tabBar()->setFocus();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool PropertiesDialogView::eventFilter(QObject* obj, QEvent* e) {
  if (obj == range_ && e->type() == QEvent::MouseButtonDblClick) {
    hide();
    emit rangePromptRequested(range_->text());
    return true;
  }
  return QDialog::eventFilter(obj, e);
}

}  // namespace tabulon
