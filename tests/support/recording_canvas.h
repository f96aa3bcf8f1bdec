// A Canvas that draws nothing and records what it was asked to draw, with
// deterministic text metrics: every character is half the font height wide.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace tabulon::testing {

class RecordingCanvas : public Canvas {
 public:
  struct Fill {
    Rect rect;
    Rgb colour;
  };
  struct TextOp {
    int x, y;
    std::string text;
    Align align;
    Rgb colour;
    FontSpec font;
    Rect clip;
  };
  struct LineOp {
    Point from, to;
    Rgb colour;
    int width;
    PenStyle style;
  };
  // A polyline, polygon, ellipse or pie with the pen and brush it used.
  struct ShapeOp {
    enum Kind { Polyline, Polygon, Ellipse, Pie } kind;
    std::vector<Point> points;  // polyline and polygon
    Rect bounds;                // ellipse and pie
    double start = 0, span = 0;  // pie
    Rgb pen;
    PenStyle penStyle;
    Rgb brush;
    HatchStyle hatch;
    Rect clip;
  };
  struct RotatedTextOp {
    int x, y;
    std::string text;
    int degrees;
    FontSpec font;
  };

  void FillRect(const Rect& r, Rgb colour) override { fills.push_back({r, colour}); }
  void SetPen(Rgb colour, int width, PenStyle style) override {
    pen_ = colour;
    penWidth_ = width;
    penStyle_ = style;
  }
  void SetBrush(Rgb colour, HatchStyle hatch) override {
    brush_ = colour;
    hatch_ = hatch;
  }
  void Line(Point from, Point to) override {
    lines.push_back({from, to, pen_, penWidth_, penStyle_});
  }
  void Polyline(const std::vector<Point>& points) override {
    shapes.push_back(Shape(ShapeOp::Polyline));
    shapes.back().points = points;
  }
  void Polygon(const std::vector<Point>& points) override {
    shapes.push_back(Shape(ShapeOp::Polygon));
    shapes.back().points = points;
  }
  void Ellipse(const Rect& bounds) override {
    shapes.push_back(Shape(ShapeOp::Ellipse));
    shapes.back().bounds = bounds;
  }
  void Pie(const Rect& bounds, double start, double span) override {
    shapes.push_back(Shape(ShapeOp::Pie));
    shapes.back().bounds = bounds;
    shapes.back().start = start;
    shapes.back().span = span;
  }
  void RotatedText(int x, int y, std::string_view text, int degrees) override {
    rotated.push_back({x, y, std::string(text), degrees, font_});
  }
  void SetFont(const FontSpec& font) override {
    font_ = font;
    fonts.push_back(font);
  }
  void SetTextColour(Rgb colour) override { textColour_ = colour; }
  void Text(int x, int y, std::string_view text, Align align) override {
    texts.push_back({x, y, std::string(text), align, textColour_, font_, clip_});
  }
  int TextWidth(std::string_view text) override {
    return static_cast<int>(text.size()) * CharWidth();
  }
  int TextHeight() override { return font_.pixelHeight; }
  void SetClip(const Rect& r) override { clip_ = r; }
  void ClearClip() override { clip_ = Rect{-1, -1, -1, -1}; }

  int CharWidth() const { return font_.pixelHeight > 1 ? font_.pixelHeight / 2 : 1; }
  void Reset() {
    fills.clear();
    texts.clear();
    lines.clear();
    fonts.clear();
    shapes.clear();
    rotated.clear();
  }

  std::vector<Fill> fills;
  std::vector<TextOp> texts;
  std::vector<LineOp> lines;
  std::vector<FontSpec> fonts;
  std::vector<ShapeOp> shapes;
  std::vector<RotatedTextOp> rotated;

 private:
  ShapeOp Shape(ShapeOp::Kind kind) const {
    ShapeOp op{};
    op.kind = kind;
    op.pen = pen_;
    op.penStyle = penStyle_;
    op.brush = brush_;
    op.hatch = hatch_;
    op.clip = clip_;
    return op;
  }
  Rgb pen_ = 0;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  Rgb brush_ = 0;
  HatchStyle hatch_ = HatchStyle::Solid;
  Rgb textColour_ = 0;
  FontSpec font_;
  Rect clip_{-1, -1, -1, -1};
};

}  // namespace tabulon::testing
