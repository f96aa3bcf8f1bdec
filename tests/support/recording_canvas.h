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

  void FillRect(const Rect& r, Rgb colour) override { fills.push_back({r, colour}); }
  void SetPen(Rgb colour, int width, PenStyle style) override {
    pen_ = colour;
    penWidth_ = width;
    penStyle_ = style;
  }
  void SetBrush(Rgb, HatchStyle) override {}
  void Line(Point from, Point to) override {
    lines.push_back({from, to, pen_, penWidth_, penStyle_});
  }
  void Polyline(const std::vector<Point>&) override {}
  void Polygon(const std::vector<Point>&) override {}
  void Ellipse(const Rect&) override {}
  void Pie(const Rect&, double, double) override {}
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
  }

  std::vector<Fill> fills;
  std::vector<TextOp> texts;
  std::vector<LineOp> lines;
  std::vector<FontSpec> fonts;

 private:
  Rgb pen_ = 0;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  Rgb textColour_ = 0;
  FontSpec font_;
  Rect clip_{-1, -1, -1, -1};
};

}  // namespace tabulon::testing
