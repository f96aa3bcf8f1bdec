#include "qt/data_dialog.h"

#include <QApplication>
#include <algorithm>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "qt/text_codec.h"
#include "sheet/session.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

QButtonGroup* RadioGroup(QWidget* owner, QLayout* into, const char* title,
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

// The failure of a form button: the error's message, or a beep.
Status Refusal(Workspace& ws) {
  const std::string& m = ws.session().errors().message();
  return m.empty() ? Status::Beep() : Status::Error(m);
}

}  // namespace

// --- the data form ------------------------------------------------------------------

DataFormView::DataFormView(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Data Form");
  setObjectName("TFdlg");
  setWindowModality(Qt::ApplicationModal);
  auto* top = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  fieldsBox_ = new QWidget(this);
  new QFormLayout(fieldsBox_);
  left->addWidget(fieldsBox_);
  record_ = new QLabel("Record:", this);
  left->addWidget(record_);
  left->addStretch();
  top->addLayout(left);
  auto* right = new QVBoxLayout;
  auto button = [&](const char* caption, auto action) {
    auto* b = new QPushButton(caption, this);
    right->addWidget(b);
    buttons_.push_back(b);
    connect(b, &QPushButton::clicked, this, action);
    return b;
  };
  button("&Next", [this] { Do(form_->Next()); });
  button("&Prev", [this] { Do(form_->Prev()); });
  button("&Top", [this] { Do(form_->Top()); });
  button("&Bot", [this] { Do(form_->Bottom()); });
  button("&Add", [this] { Do(form_->Add()); });
  update_ = button("&Update", [this] { Do(form_->Update()); });
  button("&Cancel", [this] {
    form_->Close();
    hide();
    if (ws_ != nullptr) ws_->AfterChange();
  });
  clone_ = new QCheckBox("Clone Last Record", this);
  right->addWidget(clone_);
  right->addStretch();
  top->addLayout(right);
  connect(clone_, &QCheckBox::toggled, this, [this](bool on) {
    if (form_ != nullptr) form_->clone = on;
  });
}

QPushButton* DataFormView::button(const QString& caption) const {
  for (QPushButton* b : buttons_)
    if (b->text() == caption) return b;
  return nullptr;
}

void DataFormView::OpenOn(DataForm& form, Workspace& ws) {
  form_ = &form;
  ws_ = &ws;
  auto* layout = static_cast<QFormLayout*>(fieldsBox_->layout());
  while (layout->rowCount() > 0) layout->removeRow(0);
  edits_.clear();
  // Edits stacked 8 pixels apart, each as wide as its column plus 72.
  layout->setVerticalSpacing(8);
  for (std::size_t i = 0; i < form.fields().size(); ++i) {
    const FormField& f = form.fields()[i];
    auto* e = new QLineEdit(fieldsBox_);
    e->setFixedWidth(f.width);
    int index = static_cast<int>(i);
    connect(e, &QLineEdit::textEdited, this, [this, index](const QString& text) {
      if (loading_ || form_ == nullptr) return;
      form_->SetText(index, FromQt(text));
      update_->setEnabled(true);
    });
    layout->addRow(ToQt(f.caption), e);
    edits_.push_back(e);
  }
  clone_->setChecked(form.clone);
  Load();
  show();
  raise();
  if (!edits_.empty()) edits_.front()->setFocus();
}

void DataFormView::Load() {
  if (form_ == nullptr) return;
  loading_ = true;
  for (std::size_t i = 0; i < edits_.size() && i < form_->fields().size(); ++i)
    edits_[i]->setText(ToQt(form_->fields()[i].text));
  record_->setText(ToQt(form_->RecordLine()));
  update_->setEnabled(form_->changed());
  loading_ = false;
}

void DataFormView::Do(bool ok) {
  if (form_ == nullptr || ws_ == nullptr) return;
  if (!ok) ws_->Show(Refusal(*ws_));
  ws_->session().errors().Clear();
  Load();
  ws_->AfterChange();
}

// --- the data-tools dialog -------------------------------------------------------------

DataDialogView::DataDialogView(QWidget* parent) : QDialog(parent) {
  setObjectName("TSortDlg");
  setWindowModality(Qt::ApplicationModal);
  auto* top = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  for (const char* name : kDataPageNames) tabs_->addTab(name);
  top->addWidget(tabs_);
  pages_ = new QStackedWidget(this);
  top->addWidget(pages_);

  auto newPage = [&](QFormLayout*& form) {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    form = new QFormLayout;
    v->addLayout(form);
    pages_->addWidget(page);
    return page;
  };
  QFormLayout* form = nullptr;

  // FILL.
  QWidget* page = newPage(form);
  RangeRow(page, form, DataEdit::kFillOutput);
  start_ = NumberField(page);
  step_ = NumberField(page);
  form->addRow("&Start: ", start_);
  form->addRow("S&tep: ", step_);
  auto* choices = new QHBoxLayout;
  fillType_ = RadioGroup(page, choices, "Type",
                         {"&Linear  Y = X + Step", "&Multiply  Y = X x Step", "&Power  Y = X ^ Step"});
  fillOrder_ = RadioGroup(page, choices, "Order", {"&Row", "Colum&n"});
  static_cast<QVBoxLayout*>(page->layout())->addLayout(choices);
  connect(fillType_, &QButtonGroup::idClicked, this,
          [this](int id) { logic_.SetFillType(static_cast<FillType>(id + 1)); });
  connect(fillOrder_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.SetFillOrder(id == 0 ? FillOrder::kRow : FillOrder::kColumn);
  });

  // SORT.
  page = newPage(form);
  RangeRow(page, form, DataEdit::kSortData);
  for (int k = 0; k < 4; ++k) {
    QWidget* row = RangeRow(page, form, static_cast<DataEdit>(static_cast<int>(DataEdit::kSortKey1) + k));
    auto* box = new QCheckBox("A", row);
    static_cast<QHBoxLayout*>(row->layout())->addWidget(box);
    ascending_[static_cast<std::size_t>(k)] = box;
    connect(box, &QCheckBox::toggled, this, [this, k](bool on) {
      if (!loading_) logic_.SetAscending(k, on);
    });
  }
  auto* reset = new QPushButton("&Reset", page);
  page->layout()->addWidget(reset);
  connect(reset, &QPushButton::clicked, this, [this] {
    logic_.ResetSort();
    LoadControls();
  });

  // QUESTION.
  page = newPage(form);
  for (DataEdit e : {DataEdit::kQueryInput, DataEdit::kQueryCriteria, DataEdit::kQueryOutput})
    RangeRow(page, form, e);
  auto* buttons = new QHBoxLayout;
  reset = new QPushButton("&Reset", page);
  find_ = new QPushButton("&Find", page);
  find_->setEnabled(DataDialog::findEnabled());
  buttons->addWidget(reset);
  buttons->addWidget(find_);
  static_cast<QVBoxLayout*>(page->layout())->addLayout(buttons);
  connect(reset, &QPushButton::clicked, this, [this] {
    logic_.ResetQuery();
    LoadControls();
  });

  // BIN.
  page = newPage(form);
  RangeRow(page, form, DataEdit::kBinInput);
  RangeRow(page, form, DataEdit::kBinOutput);
  binRule_ = RadioGroup(page, page->layout(), " Type ", {"a<= x <b", "a< x <= b"});
  connect(binRule_, &QButtonGroup::idClicked, this, [this](int id) {
    if (ws_ != nullptr) DataDialog::SetBinLowerClosed(*ws_, id == 0);
  });

  // PARSE.
  page = newPage(form);
  RangeRow(page, form, DataEdit::kParseInput);

  // GOAL.
  page = newPage(form);
  RangeRow(page, form, DataEdit::kGoalInput);
  RangeRow(page, form, DataEdit::kGoalOutput);
  desire_ = NumberField(page);
  tolerance_ = NumberField(page);
  form->addRow("&Desire:", desire_);
  form->addRow("&Tolerance:", tolerance_);

  // REGRESS.
  page = newPage(form);
  for (DataEdit e : {DataEdit::kRegressX, DataEdit::kRegressY, DataEdit::kRegressOutput})
    RangeRow(page, form, e);

  // MULTIREGRESS.
  page = newPage(form);
  for (DataEdit e : {DataEdit::kMultiX, DataEdit::kMultiY, DataEdit::kMultiOutput})
    RangeRow(page, form, e);
  terms_ = new QTableWidget(kTermRows, 3, page);
  terms_->setHorizontalHeaderLabels({"1", "2", "3"});
  QStringList rows;
  for (const char* name : kTermRowNames) rows << name;
  terms_->setVerticalHeaderLabels(rows);
  terms_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  terms_->horizontalHeader()->setDefaultSectionSize(32);
  form->addRow("Coefficients:", terms_);
  connect(terms_, &QTableWidget::cellClicked, this, [this](int row, int column) {
    logic_.ToggleTerm(row, column);
    terms_->item(row, column)->setText(logic_.term(row, column) ? "X" : "");
  });

  // TABLE.
  page = newPage(form);
  RangeRow(page, form, DataEdit::kTableInput1);
  QWidget* second = RangeRow(page, form, DataEdit::kTableInput2);
  static_cast<QHBoxLayout*>(second->layout())->addWidget(new QLabel("Optional", second));
  RangeRow(page, form, DataEdit::kTableOutput);

  // FORM.
  page = newPage(form);
  RangeRow(page, form, DataEdit::kForm);

  auto* bottom = new QHBoxLayout;
  ok_ = new QPushButton("&Ok", this);
  auto* cancel = new QPushButton("&Cancel", this);
  ok_->setDefault(true);
  bottom->addStretch();
  bottom->addWidget(ok_);
  bottom->addWidget(cancel);
  top->addLayout(bottom);
  connect(ok_, &QPushButton::clicked, this, [this] { Accept(); });
  connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });
  connect(tabs_, &QTabBar::currentChanged, this, [this](int i) { ShowPage(i); });

  form_ = new DataFormView(this);
}

QWidget* DataDialogView::RangeRow(QWidget* page, QFormLayout* form, DataEdit e) {
  auto* row = new QWidget(page);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  auto* field = new QLineEdit(row);
  auto* point = new QToolButton(row);
  point->setText("...");
  point->setFocusPolicy(Qt::NoFocus);
  h->addWidget(field);
  h->addWidget(point);
  field->installEventFilter(this);
  edits_[static_cast<std::size_t>(e)] = field;
  connect(field, &QLineEdit::textChanged, this, [this, e](const QString& text) {
    if (!loading_) logic_.SetText(e, FromQt(text));
  });
  connect(point, &QToolButton::clicked, this, [this, e] { Point(e); });
  auto* label = new QLabel(EditInfo(e).caption, page);
  label->setBuddy(field);
  form->addRow(label, row);
  return row;
}

QLineEdit* DataDialogView::NumberField(QWidget* page) {
  auto* f = new QLineEdit(page);
  connect(f, &QLineEdit::editingFinished, this, [this, f] {
    if (!loading_ && isVisible()) CommitNumber(f);
  });
  return f;
}

bool DataDialogView::CommitNumber(QLineEdit* field) {
  if (ws_ == nullptr || ws_->active() == nullptr || !field->isModified()) return true;
  SheetDocument& doc = ws_->active()->document();
  std::string text = FromQt(field->text());
  bool ok = field == start_     ? logic_.SetStartText(doc, text)
            : field == step_    ? logic_.SetStepText(doc, text)
            : field == desire_  ? logic_.SetDesireText(doc, text)
                                : logic_.SetToleranceText(doc, text);
  if (!ok) {
    QApplication::beep();
    field->setFocus();
    field->selectAll();
    return false;
  }
  double x = field == start_    ? logic_.start()
             : field == step_   ? logic_.step()
             : field == desire_ ? logic_.desire()
                                : logic_.tolerance();
  loading_ = true;
  field->setText(ToQt(DataDialog::NumberText(x)));  // also clears the modified mark
  loading_ = false;
  return true;
}

void DataDialogView::ShowPage(int page) {
  if (page < 0 || page >= kDataPageCount) return;
  logic_.SetPage(static_cast<DataPage>(page));
  pages_->setCurrentIndex(page);
  setWindowTitle(ToQt(logic_.Caption()));
}

void DataDialogView::OpenOn(int page, Workspace& ws) {
  if (ws.active() == nullptr) return;
  ws_ = &ws;
  page = std::clamp(page, 0, kDataPageCount - 1);
  logic_.Open(ws, static_cast<DataPage>(page));
  LoadControls();
  tabs_->setCurrentIndex(page);
  ShowPage(page);
  show();
  raise();
  activateWindow();
  edit(FirstEdit(static_cast<DataPage>(page)))->setFocus();
}

void DataDialogView::LoadControls() {
  loading_ = true;
  for (int i = 0; i < kDataEditCount; ++i)
    edits_[static_cast<std::size_t>(i)]->setText(ToQt(logic_.text(static_cast<DataEdit>(i))));
  for (int k = 0; k < 4; ++k) ascending_[static_cast<std::size_t>(k)]->setChecked(logic_.ascending(k));
  start_->setText(ToQt(DataDialog::NumberText(logic_.start())));
  step_->setText(ToQt(DataDialog::NumberText(logic_.step())));
  desire_->setText(ToQt(DataDialog::NumberText(logic_.desire())));
  tolerance_->setText(ToQt(DataDialog::NumberText(logic_.tolerance())));
  Select(fillType_, static_cast<int>(logic_.fillType()) - 1);
  Select(fillOrder_, logic_.fillOrder() == FillOrder::kRow ? 0 : 1);
  if (ws_ != nullptr) Select(binRule_, DataDialog::binLowerClosed(*ws_) ? 0 : 1);
  for (int r = 0; r < kTermRows; ++r) {
    for (int c = 0; c < 3; ++c) {
      if (terms_->item(r, c) == nullptr) terms_->setItem(r, c, new QTableWidgetItem);
      terms_->item(r, c)->setText(logic_.term(r, c) ? "X" : "");
    }
  }
  loading_ = false;
}

void DataDialogView::Point(DataEdit e) {
  pointing_ = e;
  hide();
  emit rangePromptRequested(ToQt(logic_.PointingPrompt(e)), ToQt(logic_.PointingStart(e)));
}

void DataDialogView::SetRangeText(const std::string& text) {
  logic_.SetText(pointing_, text);
  edit(pointing_)->setText(ToQt(text));
  show();
  raise();
  edit(pointing_)->setFocus();
}

bool DataDialogView::Accept() {
  if (ws_ == nullptr) return false;
  for (QLineEdit* f : {start_, step_, desire_, tolerance_})
    if (!CommitNumber(f)) return false;
  DataDialog::OkResult r = logic_.Ok(*ws_);
  switch (r.outcome) {
    case DataDialog::Outcome::kBadRange:
      QApplication::beep();
      edit(r.badEdit)->setFocus();
      edit(r.badEdit)->selectAll();
      return false;
    case DataDialog::Outcome::kOpenForm:
      hide();
      form_->OpenOn(logic_.form(), *ws_);
      return true;
    case DataDialog::Outcome::kDone:
    case DataDialog::Outcome::kFailed:
      hide();
      emit applied();
      return true;
  }
  return true;
}

void DataDialogView::Cancel() {
  hide();
  if (ws_ != nullptr) logic_.Cancel(*ws_);
}

void DataDialogView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool DataDialogView::eventFilter(QObject* obj, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick) {
    for (int i = 0; i < kDataEditCount; ++i) {
      if (obj == edits_[static_cast<std::size_t>(i)]) {
        Point(static_cast<DataEdit>(i));
        return true;
      }
    }
  }
  return QDialog::eventFilter(obj, e);
}

}  // namespace tabulon
