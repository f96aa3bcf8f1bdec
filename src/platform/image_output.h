// Picture files: what the system needs to turn a drawing into a PNG, BMP
// or SVG file. The Qt layer implements it with the toolkit's own image
// writers; tabulon-cli receives an implementation from its main() when it
// is built with Qt, and reports that images are unavailable otherwise.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace tabulon {

enum class ImageFormat { Png, Bmp, Svg };

// The format a file name asks for by its extension (any case); none for
// other extensions.
inline std::optional<ImageFormat> ImageFormatOf(std::string_view path) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string ext;
  for (char ch : path.substr(dot + 1)) ext.push_back(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
  if (ext == "png") return ImageFormat::Png;
  if (ext == "bmp") return ImageFormat::Bmp;
  if (ext == "svg") return ImageFormat::Svg;
  return std::nullopt;
}

// The largest picture side accepted, in pixels.
inline constexpr int kMaxImageSide = 10000;

class ImageOutput {
 public:
  virtual ~ImageOutput() = default;

  // Gives `draw` a canvas of width x height pixels (white to begin with)
  // and writes what it drew to `path`. Returns an empty string on success,
  // otherwise what went wrong.
  virtual std::string Write(const std::string& path, ImageFormat format, int width, int height,
                            const std::function<void(Canvas&)>& draw) = 0;
};

}  // namespace tabulon
