// The "Audit Cell References" dialog: tree, overview map, statistics chart
// and cross-reference list, each drawn from the toolkit-free audit code.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

#include "ui/audit.h"

namespace tabulon {

class Workspace;

class AuditDialogView : public QDialog {
  Q_OBJECT
 public:
  AuditDialogView(QWidget* parent, Workspace& ws);
  // The first opening takes the selection; later ones keep the contents.
  void Open();

  QTreeWidget* tree() const { return tree_; }
  QListWidget* xref() const { return xref_; }
  QLineEdit* cellField() const { return cell_; }
  QTabWidget* tabs() const { return tabs_; }
  QPushButton* printButton() const { return print_; }
  const AuditDialog& model() const { return model_; }

 private:
  void BuildTree();
  void BuildXref();

  Workspace& ws_;
  AuditDialog model_;
  QTabWidget* tabs_;
  QLineEdit* cell_;
  QSpinBox* depth_;
  QTreeWidget* tree_;
  QLabel* treeInfo_;
  QLineEdit* range_;
  QListWidget* xref_;
  QPushButton* print_;
};

}  // namespace tabulon
