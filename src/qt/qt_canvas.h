// The Canvas over a QPainter.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <optional>

#include "platform/canvas.h"

namespace tabulon {

class QtCanvas : public Canvas {
 public:
  explicit QtCanvas(QPainter& painter) : p_(painter) {}

  void FillRect(const Rect& r, Rgb colour) override;
  void SetPen(Rgb colour, int width, PenStyle style) override;
  void SetBrush(Rgb colour, HatchStyle hatch) override;
  void Line(Point from, Point to) override;
  void Polyline(const std::vector<Point>& points) override;
  void Polygon(const std::vector<Point>& points) override;
  void Ellipse(const Rect& bounds) override;
  void Pie(const Rect& bounds, double startAngle, double spanAngle) override;
  void SetFont(const FontSpec& font) override;
  void SetTextColour(Rgb colour) override { text_ = colour; }
  void Text(int x, int y, std::string_view text, Align align) override;
  int TextWidth(std::string_view text) override;
  int TextHeight() override;
  void RotatedText(int x, int y, std::string_view text, int degrees) override;
  void SetClip(const Rect& r) override;
  void ClearClip() override { p_.setClipping(false); }

  static QColor ToColor(Rgb c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
  static QFont ToFont(const FontSpec& font);

 private:
  QPainter& p_;
  Rgb text_ = 0;
  std::optional<QFontMetrics> metrics_;
};

}  // namespace tabulon
