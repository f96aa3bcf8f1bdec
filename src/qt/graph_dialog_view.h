// The graph settings dialog's widgets: nine tabbed pages over GraphDialog,
// which holds every rule. Choices go to the model as they are made; OK and
// Cancel are the model's.
#pragma once

#include <QDialog>
#include <array>

#include "graph/graph_dialog.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTabBar;
class QTabWidget;
class QSpinBox;
class QCheckBox;
class QFontComboBox;

namespace tabulon {

class Host;

class GraphDialogView : public QDialog {
  Q_OBJECT
 public:
  GraphDialogView(QWidget* parent, SheetDocument& doc, Host& host);
  GraphDialog& model() { return model_; }
  // Opens on a page; the model takes its backup and the fields are filled.
  void OpenOn(GraphPageRequest page, const CellRange& selection);

 protected:
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* TypePage();
  QWidget* RangesPage();
  QWidget* OptionsPage();
  QWidget* ScalesPage();
  QWidget* NamesPage();
  QWidget* HeadingsPage();
  QWidget* ColorsPage();
  QWidget* FontsPage();
  QWidget* LegendsPage();
  void Refresh();
  void RefreshSeriesOptions();
  void RefreshScale();
  void RefreshFont();
  void Point(bool label, int index);

  GraphDialog model_;
  Host& host_;
  bool filling_ = false;
  QTabWidget* pages_ = nullptr;
  QListWidget* types2d_ = nullptr;
  QListWidget* types3d_ = nullptr;
  std::array<QLineEdit*, 1 + kGraphSeries> seriesEdits_{};
  std::array<QLineEdit*, kGraphSeries> labelEdits_{};
  QButtonGroup* labelPlace_ = nullptr;
  QTabBar* seriesTabs_ = nullptr;
  QComboBox* fore_ = nullptr;
  QComboBox* back_ = nullptr;
  QComboBox* marks_ = nullptr;
  QComboBox* hatch_ = nullptr;
  QComboBox* thickness_ = nullptr;
  QComboBox* style_ = nullptr;
  QButtonGroup* display_ = nullptr;
  QWidget* seriesBox_ = nullptr;
  QWidget* otherBox_ = nullptr;
  QButtonGroup* grid_ = nullptr;
  QButtonGroup* gridStyle_ = nullptr;
  QComboBox* inside_ = nullptr;
  QComboBox* outside_ = nullptr;
  QTabBar* axisTabs_ = nullptr;
  QLineEdit* lower_ = nullptr;
  QLineEdit* upper_ = nullptr;
  QLineEdit* step_ = nullptr;
  QLineEdit* div_ = nullptr;
  QComboBox* format_ = nullptr;
  QButtonGroup* scaling_ = nullptr;
  QButtonGroup* axisKind_ = nullptr;
  QLineEdit* name_ = nullptr;
  QListWidget* names_ = nullptr;
  std::array<QLineEdit*, kGraphHeadings> headings_{};
  std::array<QComboBox*, kGraphSeries> colourFore_{};
  std::array<QComboBox*, kGraphSeries> colourBack_{};
  QTabBar* fontTabs_ = nullptr;
  QFontComboBox* face_ = nullptr;
  QSpinBox* size_ = nullptr;
  std::array<QCheckBox*, 4> fontStyle_{};
  QComboBox* textColour_ = nullptr;
  std::array<QLineEdit*, kGraphSeries> legends_{};
  QButtonGroup* legendType_ = nullptr;
};

// Shows the dialog modally on a page and returns whether OK closed it.
bool RunGraphSettingsDialog(QWidget* parent, SheetDocument& doc, Host& host,
                            GraphPageRequest page, const CellRange& selection);

}  // namespace tabulon
