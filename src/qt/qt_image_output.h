// Picture files through Qt's own writers: QImage for PNG and BMP, Qt SVG's
// generator for SVG. Needs only Qt GUI, no widgets and no display: when no
// application object exists yet, it makes one on the offscreen platform.
#pragma once

#include <memory>

#include "platform/image_output.h"

class QGuiApplication;

namespace tabulon {

class QtImageOutput : public ImageOutput {
 public:
  QtImageOutput();
  ~QtImageOutput() override;

  std::string Write(const std::string& path, ImageFormat format, int width, int height,
                    const std::function<void(Canvas&)>& draw) override;

 private:
  void EnsureApplication();
  int argc_ = 3;
  char* argv_[4];
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace tabulon
