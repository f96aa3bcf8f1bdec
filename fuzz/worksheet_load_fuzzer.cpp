// Feeds arbitrary bytes to the worksheet loader, then saves and reloads
// what it accepted: no input may crash, read past a buffer or loop.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formula/recalc.h"
#include "io/worksheet_file.h"
#include "sheet/session.h"
#include "platform/headless_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/tabulon-fuzz-XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  std::string in = dir + "/in.wks", out = dir + "/out.wks";
  if (std::FILE* f = std::fopen(in.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  tabulon::HeadlessHost host;
  tabulon::Session session(host);
  tabulon::SheetDocument* doc = session.NewDocument();
  session.SetCurrent(doc);
  tabulon::LoadResult r = tabulon::LoadWorksheet(*doc, in, 0);
  // A recovered sheet is saved and read again like a whole one.
  if (r.status != tabulon::LoadStatus::Failed) {
    tabulon::RecalcAll(*doc);
    if (tabulon::SaveWorksheet(*doc, out, {}, "fuzz")) {
      tabulon::SheetDocument* again = session.NewDocument();
      // What we wrote is never damaged.
      if (!tabulon::LoadWorksheet(*again, out, 0).ok) std::abort();
    }
  }
  return 0;
}
