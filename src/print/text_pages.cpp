#include "print/text_pages.h"

#include <algorithm>

#include "print/offset_canvas.h"

namespace tabulon {

std::string ExpandTabs(const std::string& line) {
  std::string out;
  for (char ch : line) {
    if (ch == '\t') {
      do out.push_back(' ');
      while (out.size() % kTextTabStop != 0);
    } else {
      out.push_back(ch);
    }
  }
  out.erase(out.find_last_not_of(' ') + 1);
  return out;
}

PrintOutcome PrintTextPages(PrintTarget& target, const PrintJob& job,
                            const std::vector<std::string>& lines) {
  PrintOutcome out;
  std::optional<PageArea> area = StartPageJob(target, job, out);
  if (!area) return out;
  const PageGeometry& g = area->geometry;
  const int width = area->width, height = area->height;
  std::size_t next = 0;
  do {
    if (out.printed > 0 && !target.NewPage()) {
      target.Abort();
      out.error = target.Error();
      if (out.error.empty()) out.error = "Printing failed";
      return out;
    }
    OffsetCanvas canvas(target.Page(), g.left, g.top);
    canvas.SetFont(kTextPageFont);
    canvas.SetTextColour(MakeRgb(0, 0, 0));
    canvas.SetClip({0, 0, width, height});
    int lineHeight = std::max(1, canvas.TextHeight());
    // At least one line a page, so a page too short for a line still ends.
    int perPage = std::max(1, height / lineHeight);
    for (int y = 0; y < perPage && next < lines.size(); ++y, ++next)
      canvas.Text(0, y * lineHeight, ExpandTabs(lines[next]), Align::Left);
    canvas.ClearClip();
    ++out.printed;
  } while (next < lines.size());
  out.pages = out.printed;
  if (!target.End()) {
    out.error = target.Error();
    if (out.error.empty()) out.error = "Printing failed";
  }
  return out;
}

}  // namespace tabulon
