// Help > Contents and Help > Tips...: the user manual, Markdown chapters
// installed with the program, in a text browser whose links lead between
// chapters and to their headings, with Back and Home; and the tip window,
// one tip of the tips file at a time, with Next and the start-up check box
// that is the configuration's TIPS= flag. Both are found in the data folder
// (DataDirectory); when a file is missing, the window says where it looked.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QWidget>
#include <string>
#include <vector>

namespace tabulon {

class Workspace;

// A text browser that scrolls to the heading a link's fragment names
// ("formats.md#dates-and-times"): Markdown headings carry no anchors of
// their own, so the fragment is matched against the anchors the headings'
// texts give (HeadingAnchor).
class ManualBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  using QTextBrowser::QTextBrowser;
  // Scrolls the heading with that anchor to the top; false when the page
  // has none.
  bool ScrollToHeading(const QString& anchor);

 protected:
  void doSetSource(const QUrl& url, QTextDocument::ResourceType type) override;
};

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  HelpWindow(QWidget* parent, std::string dataDirectory);

  // Shows the window on the page last shown, the contents page the first
  // time, and brings it to the front.
  void Open();
  void GoHome();

  ManualBrowser* browser() const { return browser_; }
  QPushButton* backButton() const { return back_; }
  QPushButton* homeButton() const { return home_; }
  bool manualFound() const { return found_; }

 private:
  std::string index_;
  bool found_ = false;
  ManualBrowser* browser_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* home_ = nullptr;
};

class TipWindow : public QDialog {
  Q_OBJECT
 public:
  TipWindow(QWidget* parent, Workspace& ws, const std::string& dataDirectory);

  // Shows a tip: the first time one chosen by the date, so that successive
  // days start with different tips; afterwards the one after the last shown.
  void Open();
  void Next();

  QString tipText() const { return text_->text(); }
  QPushButton* nextButton() const { return next_; }
  QCheckBox* startupBox() const { return startup_; }
  std::size_t tipCount() const { return tips_.size(); }

 private:
  void ShowTip();

  Workspace& ws_;
  std::vector<std::string> tips_;
  std::size_t current_ = 0;
  bool opened_ = false;
  QLabel* text_ = nullptr;
  QPushButton* next_ = nullptr;
  QCheckBox* startup_ = nullptr;
};

// The main window's Help > Contents and Help > Tips...: the one window of
// each kind, made on first use as a child of `parent`.
void ShowHelpWindow(QWidget* parent, const std::string& dataDirectory);
void ShowTipWindow(QWidget* parent, Workspace& ws, const std::string& dataDirectory);

// Whether the tips file is installed, so that the start-up tip is worth
// showing.
bool TipsInstalled(const std::string& dataDirectory);

}  // namespace tabulon
