// The text rasterizer as a module that velmira-cli opens when a command draws text:
// Qt Gui and the font libraries it brings cost every other run memory and start-up
// time. The editor links the rasterizer directly.
#include "app/qt_text_rasterizer.h"

extern "C" __attribute__((visibility("default"))) velmira::TextRasterizer* velmira_text_rasterizer() {
  return &velmira::QtTextRasterizer::Instance();
}
