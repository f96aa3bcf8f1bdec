// What the system draws with: the worksheet grid, graphs and printed pages
// all paint through this interface. The Qt layer implements it with
// QPainter; tests use a recording canvas.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// 0x00BBGGRR, red in the low byte as in the cell colour word.
using Rgb = std::uint32_t;
inline constexpr Rgb MakeRgb(int r, int g, int b) {
  return static_cast<Rgb>(r) | (static_cast<Rgb>(g) << 8) | (static_cast<Rgb>(b) << 16);
}
inline constexpr int RedOf(Rgb c) { return c & 0xFF; }
inline constexpr int GreenOf(Rgb c) { return (c >> 8) & 0xFF; }
inline constexpr int BlueOf(Rgb c) { return (c >> 16) & 0xFF; }

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

struct Point {
  int x = 0, y = 0;
};

enum FontStyle : unsigned { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

struct FontSpec {
  std::string face;    // empty: the platform's default face
  int pixelHeight = 12;
  unsigned style = 0;  // FontStyle bits
  bool operator==(const FontSpec&) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, None };
enum class HatchStyle { Solid, Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross,
                        DiagonalCross, None };
enum class Align { Left, Centre, Right };

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void FillRect(const Rect& r, Rgb colour) = 0;
  virtual void SetPen(Rgb colour, int width, PenStyle style = PenStyle::Solid) = 0;
  virtual void SetBrush(Rgb colour, HatchStyle hatch = HatchStyle::Solid) = 0;
  virtual void Line(Point from, Point to) = 0;
  virtual void Polyline(const std::vector<Point>& points) = 0;
  virtual void Polygon(const std::vector<Point>& points) = 0;
  virtual void Ellipse(const Rect& bounds) = 0;
  // A pie slice or arc of the ellipse in `bounds`, angles in degrees
  // counter-clockwise from three o'clock.
  virtual void Pie(const Rect& bounds, double startAngle, double spanAngle) = 0;

  virtual void SetFont(const FontSpec& font) = 0;
  virtual void SetTextColour(Rgb colour) = 0;
  // Text with a transparent background; x is the left edge, the centre or
  // the right edge by alignment, y the top of the text.
  virtual void Text(int x, int y, std::string_view text, Align align) = 0;
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight() = 0;
  // Text turned counter-clockwise by `degrees` about (x, y), the top-left
  // corner of the unturned text: at 90 it reads upwards from (x, y) and
  // occupies x .. x + TextHeight(). A canvas that cannot turn text writes
  // it unturned.
  virtual void RotatedText(int x, int y, std::string_view text, int degrees) {
    (void)degrees;
    Text(x, y, text, Align::Left);
  }

  virtual void SetClip(const Rect& r) = 0;
  virtual void ClearClip() = 0;
};

}  // namespace tabulon
