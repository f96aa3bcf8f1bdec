// A canvas that moves everything drawn by an offset: a graph drawn from its
// own (0, 0) lands inside the page's margins.
#pragma once

#include <vector>

#include "platform/canvas.h"

namespace tabulon {

class OffsetCanvas : public Canvas {
 public:
  OffsetCanvas(Canvas& inner, int dx, int dy) : c_(inner), dx_(dx), dy_(dy) {}

  void FillRect(const Rect& r, Rgb colour) override { c_.FillRect(Move(r), colour); }
  void SetPen(Rgb colour, int width, PenStyle style) override { c_.SetPen(colour, width, style); }
  void SetBrush(Rgb colour, HatchStyle hatch) override { c_.SetBrush(colour, hatch); }
  void Line(Point from, Point to) override { c_.Line(Move(from), Move(to)); }
  void Polyline(const std::vector<Point>& points) override { c_.Polyline(Move(points)); }
  void Polygon(const std::vector<Point>& points) override { c_.Polygon(Move(points)); }
  void Ellipse(const Rect& bounds) override { c_.Ellipse(Move(bounds)); }
  void Pie(const Rect& bounds, double start, double span) override {
    c_.Pie(Move(bounds), start, span);
  }
  void SetFont(const FontSpec& font) override { c_.SetFont(font); }
  void SetTextColour(Rgb colour) override { c_.SetTextColour(colour); }
  void Text(int x, int y, std::string_view text, Align align) override {
    c_.Text(x + dx_, y + dy_, text, align);
  }
  void RotatedText(int x, int y, std::string_view text, int degrees) override {
    c_.RotatedText(x + dx_, y + dy_, text, degrees);
  }
  int TextWidth(std::string_view text) override { return c_.TextWidth(text); }
  int TextHeight() override { return c_.TextHeight(); }
  void SetClip(const Rect& r) override { c_.SetClip(Move(r)); }
  void ClearClip() override { c_.ClearClip(); }

 private:
  Point Move(Point p) const { return {p.x + dx_, p.y + dy_}; }
  Rect Move(const Rect& r) const { return {r.left + dx_, r.top + dy_, r.right + dx_, r.bottom + dy_}; }
  std::vector<Point> Move(const std::vector<Point>& points) const {
    std::vector<Point> out;
    out.reserve(points.size());
    for (Point p : points) out.push_back(Move(p));
    return out;
  }

  Canvas& c_;
  int dx_, dy_;
};

}  // namespace tabulon
