#include "qt/macro_bar.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QVBoxLayout>
#include <filesystem>

#include "macro/macro_interpreter.h"
#include "qt/text_codec.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

// An image's pixels as row-major ARGB.
std::vector<std::uint32_t> PixelsOf(const QImage& source) {
  QImage img = source.convertToFormat(QImage::Format_ARGB32);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(img.width()) *
                                static_cast<std::size_t>(img.height()));
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
    std::copy(line, line + img.width(), px.begin() + static_cast<std::ptrdiff_t>(y) * img.width());
  }
  return px;
}

QImage GlyphImage(const std::vector<std::uint32_t>& px) {
  QImage img(kGlyphSize, kGlyphSize, QImage::Format_ARGB32);
  for (int y = 0; y < kGlyphSize; ++y)
    for (int x = 0; x < kGlyphSize; ++x)
      img.setPixel(x, y, px[static_cast<std::size_t>(y * kGlyphSize + x)]);
  return img;
}

}  // namespace

// --- the strip of buttons ---------------------------------------------------------

MacroBarWidget::MacroBarWidget(MacroBar& model, QWidget* parent) : QWidget(parent), model_(model) {
  setMouseTracking(true);
  setObjectName("tbarmenu1");
  setToolTip("Toolbar");
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  repeat_.setInterval(150);
  connect(&repeat_, &QTimer::timeout, this, [this] {
    model_.Scroll(repeatDelta_, height());
    update();
  });
}

QSize MacroBarWidget::sizeHint() const {
  const MacroBar::Metrics& m = model_.metrics();
  return {m.width, 2 * m.margin + 12 * m.barHeight};
}

QSize MacroBarWidget::minimumSizeHint() const {
  const MacroBar::Metrics& m = model_.metrics();
  return {m.width, 2 * m.margin + m.barHeight};
}

int MacroBarWidget::ButtonTop(int index) const {
  MacroBar::Layout l = model_.LayoutFor(height());
  int k = index - model_.firstVisible();
  if (k < 0 || k >= l.buttons) return -1;
  return l.top + k * model_.metrics().barHeight;
}

void MacroBarWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const MacroBar::Metrics& m = model_.metrics();
  QColor face = QColor::fromRgba(kButtonFace);
  p.fillRect(rect(), face);
  MacroBar::Layout l = model_.LayoutFor(height());
  int w = width();
  // The scroll arrows in the two margin areas.
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  int cx = w / 2;
  if (l.top >= 6) {
    int cy = l.top / 2;
    p.drawPolygon(QPolygon({QPoint(cx - 4, cy + 2), QPoint(cx + 4, cy + 2), QPoint(cx, cy - 2)}));
  }
  if (l.bottom >= 6) {
    int cy = height() - l.bottom / 2;
    p.drawPolygon(QPolygon({QPoint(cx - 4, cy - 2), QPoint(cx + 4, cy - 2), QPoint(cx, cy + 2)}));
  }
  QImage strip(reinterpret_cast<const uchar*>(model_.glyphs().pixels().data()), GlyphStrip::kWidth,
               GlyphStrip::kHeight, GlyphStrip::kWidth * 4, QImage::Format_ARGB32);
  QFont f = font();
  f.setPixelSize(std::max(8, m.barHeight / 2));
  p.setFont(f);
  for (int k = 0; k < l.buttons; ++k) {
    int index = model_.firstVisible() + k;
    QRect r(m.border, l.top + k * m.barHeight, w - 2 * m.border, m.barHeight);
    bool sunken = model_.sunken(index);
    if (index < kGlyphCount) {
      QRect source(0, index * kGlyphSize, kGlyphSize, kGlyphSize);
      QPoint at(r.left() + (r.width() - kGlyphSize) / 2 + (sunken ? 1 : 0),
                r.top() + (r.height() - kGlyphSize) / 2 + (sunken ? 1 : 0));
      p.drawImage(at, strip, source);
    }
    // The bevel: light and white above and left, dark grey and black below
    // and right; the other way round while pressed.
    QColor outerLight = sunken ? Qt::black : Qt::white;
    QColor outerDark = sunken ? Qt::white : Qt::black;
    QColor innerLight = sunken ? QColor(128, 128, 128) : QColor(192, 192, 192);
    QColor innerDark = sunken ? QColor(192, 192, 192) : QColor(128, 128, 128);
    QRect o = r.adjusted(0, 0, -1, -1);
    p.setPen(outerLight);
    p.drawLine(o.topLeft(), o.topRight());
    p.drawLine(o.topLeft(), o.bottomLeft());
    p.setPen(outerDark);
    p.drawLine(o.bottomLeft(), o.bottomRight());
    p.drawLine(o.topRight(), o.bottomRight());
    QRect i = o.adjusted(1, 1, -1, -1);
    p.setPen(innerLight);
    p.drawLine(i.topLeft(), i.topRight());
    p.drawLine(i.topLeft(), i.bottomLeft());
    p.setPen(innerDark);
    p.drawLine(i.bottomLeft(), i.bottomRight());
    p.drawLine(i.topRight(), i.bottomRight());
    p.setPen(Qt::black);
    p.drawText(r.translated(sunken ? 1 : 0, sunken ? 1 : 0), Qt::AlignCenter,
               ToQt(ButtonLabel(model_.Item(index))));
  }
}

void MacroBarWidget::ShowHint(const std::string& hint) {
  QString text = ToQt(hint);
  setToolTip(text.isEmpty() ? QString("Toolbar") : text);
  QStatusTipEvent tip(text);
  QApplication::sendEvent(this, &tip);
}

void MacroBarWidget::mouseMoveEvent(QMouseEvent* e) {
  int was = model_.itemIndex();
  bool sunk = model_.captured() >= 0 && model_.sunken(model_.captured());
  std::string hint = model_.MouseMove(e->position().toPoint().y(), height());
  if (model_.itemIndex() != was) ShowHint(hint);
  if (model_.captured() >= 0 && model_.sunken(model_.captured()) != sunk) update();
}

void MacroBarWidget::leaveEvent(QEvent*) {
  if (model_.captured() < 0) model_.MouseMove(-1, height());
}

void MacroBarWidget::mousePressEvent(QMouseEvent* e) {
  int y = e->position().toPoint().y();
  if (e->button() == Qt::RightButton) {
    if (std::optional<int> index = model_.RightDown(y, height())) emit defineRequested(*index);
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  MacroBar::Area a = model_.LeftDown(y, height());
  if (a == MacroBar::Area::kUp || a == MacroBar::Area::kDown) {
    repeatDelta_ = a == MacroBar::Area::kUp ? -1 : 1;
    repeat_.start();
  }
  update();
}

void MacroBarWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  repeat_.stop();
  std::optional<std::string> macro = model_.LeftUp(e->position().toPoint().y(), height());
  update();
  if (macro && !macro->empty()) emit picked(ToQt(*macro));
}

// --- the Define Button dialog ---------------------------------------------------------

DefineButtonDialogView::DefineButtonDialogView(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Define Button");
  setObjectName("TBardlg");
  auto* top = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  name_ = new QLineEdit(this);
  hint_ = new QLineEdit(this);
  macro_ = new QPlainTextEdit(this);
  macro_->setMinimumHeight(80);
  form->addRow("&Name:", name_);
  form->addRow("&Hint:", hint_);
  form->addRow("&Macro:", macro_);
  top->addLayout(form);
  auto* glyphRow = new QHBoxLayout;
  glyph_ = new QToolButton(this);
  glyph_->setIconSize(QSize(kGlyphSize * 2, kGlyphSize * 2));
  glyph_->setToolTip("Glyph");
  auto* blank = new QPushButton("&Blank Glyph", this);
  auto* reset = new QPushButton("&Reset", this);
  glyphRow->addWidget(glyph_);
  glyphRow->addWidget(blank);
  glyphRow->addWidget(reset);
  glyphRow->addStretch(1);
  top->addLayout(glyphRow);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("&Ok", QDialogButtonBox::AcceptRole);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  top->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Take();
    if (bar_ != nullptr) logic_.Ok(*bar_);
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(glyph_, &QToolButton::clicked, this, [this] {
    QString file = QFileDialog::getOpenFileName(this, "Glyph", QString(),
                                                "Bmp files (*.bmp *.BMP);;All Files (*)");
    if (!file.isEmpty() && !LoadGlyph(file)) QApplication::beep();
  });
  connect(blank, &QPushButton::clicked, this, [this] {
    logic_.BlankGlyph();
    ShowGlyph();
  });
  connect(reset, &QPushButton::clicked, this, [this] {
    logic_.Reset();
    Show();
  });
}

void DefineButtonDialogView::OpenOn(MacroBar& bar, int index) {
  bar_ = &bar;
  logic_.Open(bar, index);
  Show();
}

void DefineButtonDialogView::Show() {
  name_->setText(ToQt(logic_.name));
  hint_->setText(ToQt(logic_.hint));
  QStringList lines;
  for (const std::string& l : logic_.macroLines) lines << ToQt(l);
  macro_->setPlainText(lines.join('\n'));
  ShowGlyph();
}

void DefineButtonDialogView::ShowGlyph() {
  glyph_->setIcon(QIcon(QPixmap::fromImage(GlyphImage(logic_.glyph()))));
}

void DefineButtonDialogView::Take() {
  logic_.name = FromQt(name_->text());
  logic_.hint = FromQt(hint_->text());
  logic_.macroLines.clear();
  for (const QString& l : macro_->toPlainText().split('\n')) logic_.macroLines.push_back(FromQt(l));
}

bool DefineButtonDialogView::LoadGlyph(const QString& file) {
  QImage img(file);
  if (img.isNull()) return false;
  std::vector<std::uint32_t> px = PixelsOf(img);
  logic_.SetGlyphImage(img.width(), img.height(), px.data());
  ShowGlyph();
  return true;
}

// --- the tool bar -------------------------------------------------------------------

MacroBarView::MacroBarView(Workspace& ws, MacroInterpreter& macros, std::string definitions,
                           std::string glyphs, QWidget* parent)
    : QToolBar("Macro Buttons", parent),
      ws_(ws),
      macros_(macros),
      definitions_(std::move(definitions)),
      glyphs_(std::move(glyphs)) {
  setObjectName("macroBar");
  setMovable(false);
  setFloatable(false);
  setOrientation(Qt::Vertical);
  setAllowedAreas(Qt::LeftToolBarArea | Qt::RightToolBarArea);
  setContentsMargins(0, 0, 0, 0);
  if (!definitions_.empty()) model_.Load(definitions_);
  if (!glyphs_.empty()) {
    QImage img(QString::fromStdString(glyphs_));
    if (!img.isNull()) {
      std::vector<std::uint32_t> px = PixelsOf(img);
      model_.glyphs().Load(img.width(), img.height(), px.data());
    }
  }
  bar_ = new MacroBarWidget(model_, this);
  addWidget(bar_);
  connect(bar_, &MacroBarWidget::picked, this, [this](const QString& macro) {
    RunButtonMacro(ws_, macros_, FromQt(macro));
  });
  connect(bar_, &MacroBarWidget::defineRequested, this, [this](int index) {
    defineDialog()->OpenOn(model_, index);
    if (defineDialog()->exec() == QDialog::Accepted) bar_->update();
  });
  Sync();
}

DefineButtonDialogView* MacroBarView::defineDialog() {
  if (dialog_ == nullptr) dialog_ = new DefineButtonDialogView(this);
  return dialog_;
}

void MacroBarView::Sync() { setVisible(ws_.config().macroBar); }

bool MacroBarView::Save() {
  bool ok = true;
  for (const std::string& file : {definitions_, glyphs_}) {
    std::filesystem::path dir = std::filesystem::path(file).parent_path();
    std::error_code ec;
    if (!file.empty() && !dir.empty()) std::filesystem::create_directories(dir, ec);
  }
  if (!definitions_.empty()) ok = model_.Save(definitions_);
  if (!glyphs_.empty() && model_.glyphs().changed) {
    QImage strip(reinterpret_cast<const uchar*>(model_.glyphs().pixels().data()),
                 GlyphStrip::kWidth, GlyphStrip::kHeight, GlyphStrip::kWidth * 4,
                 QImage::Format_ARGB32);
    if (strip.save(QString::fromStdString(glyphs_), "BMP")) model_.glyphs().changed = false;
    else ok = false;
  }
  return ok;
}

}  // namespace tabulon
