// Graph pictures in files: the current graph or a named one, drawn through
// the platform's image writer (the batch tool's `graph` command, the graph
// window's Save).
#pragma once

#include <string>
#include <string_view>

#include "platform/image_output.h"

namespace tabulon {

class SheetDocument;

// Position 0..count-1 of the named graph called `name` (upper-cased, as
// Use looks names up), or -1.
int FindNamedGraph(const SheetDocument& doc, std::string_view name);

// Draws the current graph (namedIndex < 0) or named graph namedIndex into
// a width x height picture file. Returns an empty string on success, the
// message "Graph Undefined!" for an undefined or missing graph (no file is
// written), or the writer's own message.
std::string WriteGraphImage(ImageOutput& images, SheetDocument& doc, int namedIndex,
                            const std::string& path, ImageFormat format, int width, int height,
                            int zoom = 100);

}  // namespace tabulon
