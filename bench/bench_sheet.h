// A headless session with one current worksheet, for the benchmarks.
#pragma once

#include "sheet/session.h"
#include "platform/headless_host.h"

namespace tabulon {

struct BenchSheet {
  BenchSheet() : session(host) {
    doc = session.NewDocument();
    session.SetCurrent(doc);
  }
  HeadlessHost host;
  Session session;
  SheetDocument* doc;
};

}  // namespace tabulon
