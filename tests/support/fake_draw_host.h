// A draw host that records what the dispatcher asks of the screen, the printer and the
// clipboard, with recording device contexts behind each.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "draw/draw_graph.h"
#include "tests/support/recording_dc.h"

namespace sism::test {

class FakePrintDocument : public PrintDocument {
 public:
  explicit FakePrintDocument(std::vector<std::string>& log) : log_(log) {}
  ~FakePrintDocument() override { log_.push_back("destroyed"); }
  DeviceContext& Dc() override { return dc; }
  int32_t HorzRes() const override { return 4800; }
  int32_t VertRes() const override { return 6800; }
  int32_t HorzSizeMm() const override { return 200; }
  int32_t VertSizeMm() const override { return 280; }
  void StartPage() override { log_.push_back("StartPage"); }
  void EndPage() override { log_.push_back("EndPage"); }
  void EndDocument() override { log_.push_back("EndDocument"); }
  RecordingDc dc{TechRasterPrinter, 600};

 private:
  std::vector<std::string>& log_;
};

class FakePicture : public ClipboardPicture {
 public:
  explicit FakePicture(std::vector<std::string>& log) : log_(log) {}
  DeviceContext& Dc() override { return dc; }
  void PutOnClipboard() override { log_.push_back("PutOnClipboard"); }
  RecordingDc dc{TechMetafile};

 private:
  std::vector<std::string>& log_;
};

class FakeHost : public DrawHost {
 public:
  RecordingDc screen;
  std::vector<std::string> log;
  bool printerFails = false;
  int32_t areaW = 0, areaH = 0;
  ClipboardFormats formats;
  int32_t pictureW = 0, pictureH = 0;

  void SetViewArea(int32_t w, int32_t h) override {
    areaW = w;
    areaH = h;
  }
  int32_t ViewWidth() override { return areaW / 15; }
  int32_t ViewHeight() override { return areaH / 15; }
  DeviceContext* ViewDc() override { return &screen; }
  void RefreshView() override { log.push_back("Refresh"); }
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string& name, DeviceContext*) override {
    log.push_back("StartDocument " + name);
    if (printerFails) return nullptr;
    return std::make_unique<FakePrintDocument>(log);
  }
  int32_t ReferencePixelsPerInchX() override { return 600; }
  int32_t ReferencePixelsPerInchY() override { return 600; }
  int32_t ScreenTwipsPerPixelX() override { return 15; }
  int32_t ScreenTwipsPerPixelY() override { return 15; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats f, int32_t vw, int32_t vh, int32_t,
                                                          int32_t) override {
    formats = f;
    pictureW = vw;
    pictureH = vh;
    return std::make_unique<FakePicture>(log);
  }
};

}  // namespace sism::test
