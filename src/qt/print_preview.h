// The preview window ("Preview", class TPviewdlg): a thin view over
// PrintPreview. The page picture is drawn by the print layout itself,
// scaled onto the picture.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <memory>

#include "sheet/address.h"

namespace tabulon {

class PrintService;
class PrintPreview;

class PrintPreviewView : public QDialog {
  Q_OBJECT
 public:
  PrintPreviewView(QWidget* parent, PrintService& service, const CellRange& range);
  ~PrintPreviewView() override;

  PrintPreview& model() { return *model_; }
  QLineEdit* pageField() const { return page_; }
  QLabel* countLabel() const { return count_; }
  QLineEdit* scaleField() const { return scale_; }
  QWidget* picture() const { return picture_; }

  // Paints the picture laid out for a window of size `room` (the scroll
  // area's viewport; the picture widget calls it, tests paint onto an image).
  void PaintPicture(QPainter& painter, QSize room);

 protected:
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void Refresh();
  void Layout();

  std::unique_ptr<PrintPreview> model_;
  QScrollArea* scroll_;
  QWidget* picture_;
  QLineEdit* page_;
  QLabel* count_;
  QLineEdit* scale_;
};

}  // namespace tabulon
