// The macro button bar's widgets: the strip of buttons painted from the
// toolkit-free MacroBar, the "Define Button" dialog bound to
// DefineButtonDialog, and a tool bar at the left edge of the frame that
// holds the strip, loads the definitions file and the glyph strip
// "MACROS.BTN", runs a clicked button's macro and writes the definitions
// back.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <string>

#include "macro/macro_bar.h"

namespace tabulon {

class Workspace;
class MacroInterpreter;

class MacroBarWidget : public QWidget {
  Q_OBJECT
 public:
  MacroBarWidget(MacroBar& model, QWidget* parent = nullptr);
  MacroBar& model() { return model_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  // The top of the button showing item `index` (for tests), or -1.
  int ButtonTop(int index) const;

 signals:
  void picked(const QString& macro);        // a click on a button with a macro
  void defineRequested(int index);          // a right click on a button

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent*) override;

 private:
  void ShowHint(const std::string& hint);

  MacroBar& model_;
  QTimer repeat_;  // scrolls again while an arrow area is held
  int repeatDelta_ = 0;
};

class DefineButtonDialogView : public QDialog {
  Q_OBJECT
 public:
  explicit DefineButtonDialogView(QWidget* parent = nullptr);
  // Fills the fields from the bar's item; Ok writes them back.
  void OpenOn(MacroBar& bar, int index);
  DefineButtonDialog& logic() { return logic_; }
  QLineEdit* nameField() const { return name_; }
  QLineEdit* hintField() const { return hint_; }
  QPlainTextEdit* macroField() const { return macro_; }
  // Loads a picture for the glyph (what clicking the glyph does after its
  // file dialog); false when it cannot be read.
  bool LoadGlyph(const QString& file);

 private:
  void Show();
  void Take();
  void ShowGlyph();

  DefineButtonDialog logic_;
  MacroBar* bar_ = nullptr;
  QLineEdit* name_;
  QLineEdit* hint_;
  QPlainTextEdit* macro_;
  QToolButton* glyph_;
};

class MacroBarView : public QToolBar {
  Q_OBJECT
 public:
  // `definitions` is the toolbar macro file ("TOOLMAC="), `glyphs` the
  // glyph strip file. Both are read now when they exist.
  MacroBarView(Workspace& ws, MacroInterpreter& macros, std::string definitions,
               std::string glyphs, QWidget* parent = nullptr);
  MacroBar& model() { return model_; }
  MacroBarWidget* bar() const { return bar_; }
  DefineButtonDialogView* defineDialog();
  // Shows or hides the bar as the configuration says ("MBAR=").
  void Sync();
  // Writes the definitions back, and the glyph strip when a glyph was
  // defined. False when a file could not be written.
  bool Save();

 private:
  Workspace& ws_;
  MacroInterpreter& macros_;
  std::string definitions_, glyphs_;
  MacroBar model_;
  MacroBarWidget* bar_;
  DefineButtonDialogView* dialog_ = nullptr;
};

}  // namespace tabulon
