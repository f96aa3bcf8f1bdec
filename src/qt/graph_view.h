// The graph window's widget: it paints the document's current graph through
// QtCanvas into an off-screen image of its size, forwards the mouse and the
// keys to GraphWindow, shows the zoom rectangle, the zoom menu and the
// context menu, saves the picture as a file and copies it to the clipboard.
// QtGraphViews opens these windows and the settings dialog for the graph
// commands of the command table.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "graph/graph_window.h"
#include "graph/graph_workspace.h"

namespace tabulon {

class Host;

class GraphView : public QWidget {
  Q_OBJECT
 public:
  GraphView(SheetDocument& doc, Host& host, QWidget* parent = nullptr);

  GraphWindow& logic() { return logic_; }
  SheetDocument& document() { return logic_.document(); }
  // The picture as last painted (what Save and Copy use).
  const QImage& picture() const { return picture_; }
  // Draws the graph again (after the settings changed).
  void Redraw();

  // Save to Bitmap: the file dialog, then the picture by the name's
  // extension (PNG, SVG, BMP otherwise). Returns the file written, or an
  // empty string when cancelled or failed.
  std::string SaveToFile();
  void CopyToClipboard();

  // Opens the settings dialog on a page; the view redraws afterwards.
  std::function<void(GraphPageRequest)> openSettings;
  // Quick Print: prints the graph; without it the entry beeps.
  std::function<void(SheetDocument&)> quickPrint;
  // Shows a text in the main window's status line ("Saving NAME").
  std::function<void(const std::string&)> showStatus;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Render();
  void OpenPage(const std::optional<GraphPageRequest>& page);
  void ShowContextMenu(const QPoint& at);
  void ShowZoomMenu(const QPoint& at);

  GraphWindow logic_;
  Host& host_;
  QImage picture_;
  bool stale_ = true;
};

// The graph windows and settings dialog of the windowed program, for
// RegisterGraphCommands. Windows are top-level and close with any plain key.
class QtGraphViews : public GraphViews {
 public:
  QtGraphViews(QWidget* parent, Host& host) : parent_(parent), host_(host) {}
  void ShowGraphWindow(SheetDocument& doc, bool maximised, int closeAfterMs) override;
  void ShowGraphSettings(SheetDocument& doc, GraphPageRequest page) override;
  // Closes the graph windows of a document that is about to go away.
  void DocumentClosing(SheetDocument& doc);

  // Passed on to every window opened.
  std::function<void(SheetDocument&)> quickPrint;
  std::function<void(const std::string&)> showStatus;
  // The selection pointing starts from when a range edit is empty.
  std::function<CellRange()> selection;

 private:
  QWidget* parent_;
  Host& host_;
  std::vector<QPointer<GraphView>> windows_;
};

// Opens (or brings forward) the graph window of a document; the lead's
// menus, F10, F12 and GRAPHVIEW reach it through QtGraphViews.
GraphView* OpenGraphWindow(QWidget* parent, SheetDocument& doc, Host& host, bool maximised,
                           int closeAfterMs);

}  // namespace tabulon
