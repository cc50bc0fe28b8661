// A document with a recording host for the adjustment, filter and channel tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "image/doc.h"
#include "processing/filters.h"
#include "../support/recording_host.h"

namespace velmira::testing_support {

// A picture with its edit copy and selection, as the filters see a layer.
struct Picture {
  int w, h, stride;
  std::vector<uint8_t> src, dst, sel;
  Rgbq outside = MakeRgbq(10, 20, 30);
  Picture(int w_, int h_) : w(w_), h(h_), stride(StrideFor(w_, 24)) {
    src.assign(size_t(stride) * size_t(h), 0);
    sel.assign(size_t(w) * size_t(h), 1);
  }
  void Set(int x, int y, Rgbq c) {
    uint8_t* p = &src[size_t(y) * size_t(stride) + 3 * size_t(x)];
    p[0] = uint8_t(RgbqB(c)), p[1] = uint8_t(RgbqG(c)), p[2] = uint8_t(RgbqR(c));
  }
  Rgbq In(int x, int y) const {
    const uint8_t* p = &src[size_t(y) * size_t(stride) + 3 * size_t(x)];
    return MakeRgbq(p[2], p[1], p[0]);
  }
  Rgbq Out(int x, int y) const {
    const uint8_t* p = &dst[size_t(y) * size_t(stride) + 3 * size_t(x)];
    return MakeRgbq(p[2], p[1], p[0]);
  }
  template <class F>
  void Fill(F&& f) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(x, y, f(x, y));
  }
  void SelectOnly(int x0, int y0, int x1, int y1) {
    std::fill(sel.begin(), sel.end(), uint8_t(0));
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) sel[size_t(y) * size_t(w) + size_t(x)] = 1;
  }
  FilterTarget Target(const FilterControl* c = nullptr) {
    dst = src;
    FilterTarget t;
    t.width = w, t.height = h, t.stride = stride;
    t.src = src.data(), t.dst = dst.data(), t.sel = sel.data();
    t.outside = outside;
    t.control = c;
    return t;
  }
  std::set<Rgbq> InputColours() const {
    std::set<Rgbq> s;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) s.insert(In(x, y));
    return s;
  }
};


namespace fs = std::filesystem;

// A document of the given size whose background layer is filled by `paint`
// (storage coordinates, y = 0 the bottom row).
class DocFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp = fs::temp_directory_path() / ("velmira-processing-test-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    frame.tempFolder = tmp;
    host.frame = &frame;
  }
  void TearDown() override {
    doc.reset();
    host.created.clear();
    fs::remove_all(tmp);
  }
  template <class Paint>
  void Make(int w, int h, Paint&& paint) {
    frame.newWidth = w;
    frame.newHeight = h;
    frame.newBitsPerPixel = 24;
    frame.newTitle = "그림";
    doc = std::make_unique<CMirvDoc>(frame, host, nullptr);
    ASSERT_TRUE(doc->NewDocument());
    Layer& l = *L().Active();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(l, x, y, paint(x, y));
    // The painted picture is the document's starting state.
    doc->RecordStep("Opening....", kStepPixels, L().active);
  }
  LayerStack& L() { return doc->Layers(); }
  static void Set(Layer& l, int x, int y, Rgbq c) {
    uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride) + 3 * size_t(x);
    p[0] = uint8_t(RgbqB(c));
    p[1] = uint8_t(RgbqG(c));
    p[2] = uint8_t(RgbqR(c));
  }
  static Rgbq Get(const Layer& l, int x, int y) {
    const uint8_t* p = l.pixels.data() + size_t(y) * size_t(l.stride) + 3 * size_t(x);
    return MakeRgbq(p[2], p[1], p[0]);
  }
  Rgbq At(int x, int y) { return Get(*L().Active(), x, y); }
  // Selects the rectangle [x0, x1) × [y0, y1) of the active layer.
  void Select(int x0, int y0, int x1, int y1) {
    const Layer& l = *L().Active();
    std::fill(L().mask.begin(), L().mask.end(), uint8_t(0));
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) L().mask[size_t(y) * size_t(l.width) + size_t(x)] = 1;
    L().selectionExists = true;
  }
  bool Said(const std::string& m) const {
    return std::find(host.messages.begin(), host.messages.end(), m) != host.messages.end();
  }

  fs::path tmp;
  FrameState frame;
  RecordingHost host;
  std::unique_ptr<CMirvDoc> doc;
};

inline Rgbq Grey(int v) { return MakeRgbq(v, v, v); }

}  // namespace velmira::testing_support
