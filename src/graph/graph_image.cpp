#include "graph/graph_image.h"

#include "base/text.h"
#include "graph/graph_data.h"
#include "graph/graph_render.h"
#include "sheet/sheet_document.h"

namespace tabulon {

int FindNamedGraph(const SheetDocument& doc, std::string_view name) {
  if (name.empty()) return -1;
  return doc.extras().graphs.Find(UpperCase(name));
}

std::string WriteGraphImage(ImageOutput& images, SheetDocument& doc, int namedIndex,
                            const std::string& path, ImageFormat format, int width, int height,
                            int zoom) {
  const GraphBook& book = doc.extras().graphs;
  if (namedIndex >= static_cast<int>(book.named.size())) return kGraphUndefined;
  const GraphSettings& g = namedIndex < 0 ? book.current : book.named[namedIndex].settings;
  if (!GraphIsDefined(g)) return kGraphUndefined;
  GraphDrawOptions options;
  options.zoom = zoom;
  options.recordHits = false;
  return images.Write(path, format, width, height, [&](Canvas& canvas) {
    DrawGraph(canvas, doc, g, width, height, options);
  });
}

}  // namespace tabulon
