#include "qt/qt_canvas.h"

#include <QPolygon>

#include "qt/text_codec.h"

namespace tabulon {

namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QPolygon ToPolygon(const std::vector<Point>& points) {
  QPolygon poly;
  for (const Point& pt : points) poly << QPoint(pt.x, pt.y);
  return poly;
}

}  // namespace

void QtCanvas::FillRect(const Rect& r, Rgb colour) { p_.fillRect(ToQRect(r), ToColor(colour)); }

void QtCanvas::SetPen(Rgb colour, int width, PenStyle style) {
  static const Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                         Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
  QPen pen(ToColor(colour));
  pen.setWidth(width);
  pen.setStyle(kStyles[static_cast<int>(style)]);
  p_.setPen(pen);
}

void QtCanvas::SetBrush(Rgb colour, HatchStyle hatch) {
  static const Qt::BrushStyle kStyles[] = {Qt::SolidPattern, Qt::HorPattern,   Qt::VerPattern,
                                           Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern,
                                           Qt::DiagCrossPattern, Qt::NoBrush};
  p_.setBrush(QBrush(ToColor(colour), kStyles[static_cast<int>(hatch)]));
}

void QtCanvas::Line(Point from, Point to) { p_.drawLine(from.x, from.y, to.x, to.y); }
void QtCanvas::Polyline(const std::vector<Point>& points) { p_.drawPolyline(ToPolygon(points)); }
void QtCanvas::Polygon(const std::vector<Point>& points) { p_.drawPolygon(ToPolygon(points)); }
void QtCanvas::Ellipse(const Rect& bounds) { p_.drawEllipse(ToQRect(bounds)); }
void QtCanvas::Pie(const Rect& bounds, double start, double span) {
  p_.drawPie(ToQRect(bounds), static_cast<int>(start * 16), static_cast<int>(span * 16));
}

QFont QtCanvas::ToFont(const FontSpec& font) {
  QFont f(QString::fromLatin1(font.face.data(), static_cast<qsizetype>(font.face.size())));
  f.setPixelSize(std::max(1, font.pixelHeight));
  f.setBold(font.style & kBold);
  f.setItalic(font.style & kItalic);
  f.setUnderline(font.style & kUnderline);
  f.setStrikeOut(font.style & kStrikeOut);
  return f;
}

void QtCanvas::SetFont(const FontSpec& font) {
  QFont f = ToFont(font);
  p_.setFont(f);
  metrics_.emplace(f);
}

void QtCanvas::Text(int x, int y, std::string_view text, Align align) {
  QString s = ToQt(text);
  int w = TextWidth(text);
  int left = align == Align::Left ? x : align == Align::Right ? x - w : x - w / 2;
  if (!metrics_) metrics_.emplace(p_.font());
  p_.setPen(ToColor(text_));
  p_.drawText(left, y + metrics_->ascent(), s);
}

int QtCanvas::TextWidth(std::string_view text) {
  if (!metrics_) metrics_.emplace(p_.font());
  return metrics_->horizontalAdvance(ToQt(text));
}

int QtCanvas::TextHeight() {
  if (!metrics_) metrics_.emplace(p_.font());
  return metrics_->height();
}

void QtCanvas::RotatedText(int x, int y, std::string_view text, int degrees) {
  if (!metrics_) metrics_.emplace(p_.font());
  p_.save();
  p_.translate(x, y);
  p_.rotate(-degrees);
  p_.setPen(ToColor(text_));
  p_.drawText(0, metrics_->ascent(), ToQt(text));
  p_.restore();
}

void QtCanvas::SetClip(const Rect& r) { p_.setClipRect(ToQRect(r)); }

}  // namespace tabulon
