#include "qt/audit_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/qt_canvas.h"
#include "qt/text_codec.h"
#include "sheet/session.h"
#include "ui/audit.h"
#include "ui/block_commands.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

// A page that paints one of the audit drawings of the active sheet.
class AuditPaintPage : public QWidget {
 public:
  AuditPaintPage(Workspace& ws, bool stats) : ws_(ws), stats_(stats) {
    setMinimumSize(420, 300);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (ws_.active() == nullptr) return;
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    QtCanvas canvas(p);
    if (stats_) DrawStatsChart(canvas, ws_.active()->document(), width(), height(), false);
    else DrawOverview(canvas, ws_.active()->document(), width(), height());
  }

 private:
  Workspace& ws_;
  bool stats_;
};

}  // namespace

AuditDialogView::AuditDialogView(QWidget* parent, Workspace& ws) : QDialog(parent), ws_(ws) {
  setWindowTitle("Audit Cell References");
  setObjectName("TAuditDlg");
  auto* top = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  top->addWidget(tabs_);

  auto* treePage = new QWidget;
  auto* tl = new QVBoxLayout(treePage);
  auto* tf = new QFormLayout;
  cell_ = new QLineEdit(treePage);
  depth_ = new QSpinBox(treePage);
  depth_->setRange(0, 64);
  depth_->setValue(AuditDialog::kInitialDepth);
  tf->addRow("&Cell: ", cell_);
  tf->addRow("&Depth: ", depth_);
  tl->addLayout(tf);
  tree_ = new QTreeWidget(treePage);
  tree_->setHeaderHidden(true);
  tl->addWidget(tree_, 1);
  treeInfo_ = new QLabel(treePage);
  tl->addWidget(treeInfo_);
  tabs_->addTab(treePage, "&Tree");
  tabs_->addTab(new AuditPaintPage(ws_, false), "&Overview");
  tabs_->addTab(new AuditPaintPage(ws_, true), "&Stats");

  auto* xrefPage = new QWidget;
  auto* xl = new QVBoxLayout(xrefPage);
  auto* xf = new QFormLayout;
  range_ = new QLineEdit(xrefPage);
  xf->addRow("&Range: ", range_);
  xl->addLayout(xf);
  xl->addWidget(new QLabel("CELL\tTYPE\tCOUNT\tREFERENCES", xrefPage));
  xref_ = new QListWidget(xrefPage);
  xl->addWidget(xref_, 1);
  tabs_->addTab(xrefPage, "&XRef");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  print_ = new QPushButton("&Print", this);
  print_->setVisible(false);
  buttons->addWidget(print_);
  auto* ok = new QPushButton("&Ok", this);
  connect(ok, &QPushButton::clicked, this, &QDialog::hide);
  buttons->addWidget(ok);
  top->addLayout(buttons);

  // The pages in tab order are the model's pages; Print shows on two.
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    model_.page = static_cast<AuditPage>(index);
    print_->setVisible(model_.PrintVisible());
  });
  connect(print_, &QPushButton::clicked, this, [this] {
    model_.cellText = FromQt(cell_->text());
    model_.rangeText = FromQt(range_->text());
    model_.Print(ws_);
  });

  connect(cell_, &QLineEdit::returnPressed, this, [this] { BuildTree(); });
  connect(depth_, &QSpinBox::valueChanged, this, [this] { BuildTree(); });
  connect(range_, &QLineEdit::returnPressed, this, [this] { BuildXref(); });
  connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    cell_->setText(item->text(0).section(':', 0, 0));
  });
}

void AuditDialogView::Open() {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  if (model_.Activate(*w)) {
    cell_->setText(ToQt(model_.cellText));
    range_->setText(ToQt(model_.rangeText));
    BuildTree();
    BuildXref();
  }
  show();
  raise();
}

void AuditDialogView::BuildTree() {
  SheetWindow* w = ws_.active();
  if (w == nullptr || depth_->value() == 0) return;
  CellRange r = PromptRange(w->document(), FromQt(cell_->text()), w);
  if (!r.IsDefined()) return;  // an address that does not read leaves the tree
  DependentsTree t = BuildDependentsTree(w->document(),
                                         {static_cast<std::int16_t>(r.Left()),
                                          static_cast<std::int16_t>(r.Top())},
                                         depth_->value());
  tree_->clear();
  std::vector<QTreeWidgetItem*> parents;
  for (const TreeLine& line : t.lines) {
    parents.resize(static_cast<std::size_t>(line.depth));
    auto* item = parents.empty() ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(parents.back());
    item->setText(0, ToQt(line.text));
    parents.push_back(item);
  }
  tree_->expandAll();
  QString info = QString("Total References: %1   Depth: %2").arg(t.references()).arg(t.depthReached);
  if (t.truncated) info += "   (cut short)";
  treeInfo_->setText(info);
}

void AuditDialogView::BuildXref() {
  SheetWindow* w = ws_.active();
  if (w == nullptr) return;
  CellRange r = PromptRange(w->document(), FromQt(range_->text()), w);
  if (!r.IsDefined()) return;
  xref_->clear();
  for (const std::string& line : CrossReference(w->document(), r)) {
    QString text = ToQt(line);
    text.replace(':', '\t');
    xref_->addItem(text);
  }
}

}  // namespace tabulon
