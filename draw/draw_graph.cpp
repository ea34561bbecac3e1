#include "draw/draw_graph.h"

#include <cmath>
#include <limits>

#include "analysis/ensure_series.h"
#include "common/errors.h"
#include "common/strings.h"
#include "common/ui.h"
#include "draw/orbit.h"
#include "draw/page_styles.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

// The page carries a line saying what was done to the record.
bool HasPreprocessingLine(const AppState& app) {
  return app.record.ChanCount > 0 && !app.view.Preprocessing.empty();
}

// Page arithmetic in 64 bits; anything beyond the 32-bit range is an overflow.
int32_t Checked(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) Raise(6);
  return static_cast<int32_t>(v);
}

int32_t RoundChecked(double v) {
  if (!std::isfinite(v) || v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min())
    Raise(6);
  return RoundCoord(v);
}

// Puts the pointer back, and the wave increment after printing, on every way out.
class DrawScope {
 public:
  DrawScope(UserInterface& ui) : ui_(ui) {}
  ~DrawScope() {
    if (waveIncrement_ != nullptr) *waveIncrement_ = savedIncrement_;
    if (pointer_) ui_.RestoreMousePointer();
  }
  void Hourglass() {
    ui_.SetMousePointer(PointerHourglass);
    pointer_ = true;
  }
  void ForceWaveIncrement(int32_t& w) {
    waveIncrement_ = &w;
    savedIncrement_ = w;
    w = 1;
  }

 private:
  UserInterface& ui_;
  bool pointer_ = false;
  int32_t* waveIncrement_ = nullptr;
  int32_t savedIncrement_ = 0;
};

// Detaches the drawing object from a page context that is about to go away.
class ForgetOnExit {
 public:
  explicit ForgetOnExit(cGraphicExtensions& gx) : gx_(gx) {}
  ~ForgetOnExit() { gx_.Forget(dc_); }
  void Set(DeviceContext* dc) { dc_ = dc; }

 private:
  cGraphicExtensions& gx_;
  DeviceContext* dc_ = nullptr;
};

}  // namespace

int32_t OrbitWindowCount(const AppState& app) {
  const GraphSettings& gs = app.graph;
  const double f = app.record.SampFreq;
  const int64_t first = RoundCoord(gs.OrbitStart * f + 1);
  const int64_t last = std::min<int64_t>(RoundCoord(gs.OrbitEnd * f), app.record.DataCount);
  const int64_t step = RoundCoord(gs.OrbitInt * f);
  if (step < 1 || last < first) return 1;  // no sensible windows: one plot
  // A page of more windows than the painter draws would be metres long.
  return static_cast<int32_t>(std::min<int64_t>((last - first) / step + 1, kMaxOrbitWindows));
}

PageGeometry ComputePageGeometry(const AppState& app, int32_t kind, int32_t n) {
  return ComputePageGeometry(app.graph, app, kind, n);
}

void FitPlotsToView(GraphSettings& gs, const AppState& app, int32_t kind, int32_t n, const ScreenFit& fit) {
  if (!fit.On()) return;
  const double w = fit.widthPx / kScreenPixelsPerMm, h = fit.heightPx / kScreenPixelsPerMm;  // mm
  const double lines = (gs.Header.empty() ? 0 : 1) + (gs.Footer.empty() ? 0 : 1) + (HasPreprocessingLine(app) ? 1 : 0);
  const double across = w - gs.LeftMargin - gs.RightMargin;
  const double down = h - gs.TopMargin - gs.BottomMargin - lines * std::round(0.3528 * gs.Font[4].Size);
  auto mm = [](double v, int32_t least) { return std::isfinite(v) ? std::max(least, static_cast<int32_t>(std::min(v, 1e5))) : least; };
  switch (PageFormOf(kind)) {
    case PageForm::Wave: {
      const int32_t strips = std::max(n, 1);
      gs.WaveWidth = mm(across, 40);
      gs.WaveHeight = mm((down - (strips - 1.0) * gs.WaveSpace) / strips, 8);
      break;
    }
    case PageForm::Spectrum:
      if (kind == KindPSv && gs.SpecWidth > 0 && gs.SpecHeight > 0) {
        // The tripartite grid wants equal decades on both axes: keep the plot's shape.
        const double k = std::min(across / gs.SpecWidth, down / gs.SpecHeight);
        gs.SpecWidth = mm(k * gs.SpecWidth, 40);
        gs.SpecHeight = mm(k * gs.SpecHeight, 30);
        break;
      }
      gs.SpecWidth = mm(across, 40);
      gs.SpecHeight = mm(down, 30);
      break;
    case PageForm::Orbit: {
      const PageGeometry g = ComputePageGeometry(gs, app, kind, n);
      gs.OrbitWidth = mm(std::min((across - (g.columns - 1.0) * gs.WaveSpace) / g.columns,
                                  (down - (g.rows - 1.0) * gs.WaveSpace) / g.rows),
                         20);
      break;
    }
    case PageForm::Report:
      break;
  }
}

double FitZoom(int32_t width, int32_t height, const ScreenFit& fit) {
  if (!fit.On() || width <= 0 || height <= 0) return 1;
  const double z = std::min(fit.widthPx / (width / 100.0 * kScreenPixelsPerMm),
                            fit.heightPx / (height / 100.0 * kScreenPixelsPerMm));
  return std::isfinite(z) ? std::clamp(z, 0.1, 10.0) : 1.0;
}

PageGeometry ComputePageGeometry(const GraphSettings& gs, const AppState& app, int32_t kind, int32_t n) {
  PageGeometry g;
  g.headerLine = RoundChecked(0.3528 * gs.Font[4].Size);
  const int64_t hc = (gs.Header.empty() ? 0 : 1) + (gs.Footer.empty() ? 0 : 1) + (HasPreprocessingLine(app) ? 1 : 0);
  const int64_t h = g.headerLine;
  int64_t W = 0, H = 0, pw = 0, ph = 0;
  switch (PageFormOf(kind)) {
    case PageForm::Wave:
      W = int64_t{gs.LeftMargin} + gs.WaveWidth + gs.RightMargin;
      H = int64_t{gs.TopMargin} + int64_t{n} * gs.WaveHeight + int64_t{n - 1} * gs.WaveSpace +
          gs.BottomMargin + hc * h;
      pw = gs.WaveWidth;
      ph = gs.WaveHeight;
      break;
    case PageForm::Orbit: {
      int64_t c = 1, r = 1;
      if (gs.OrbitTime == 2) {
        const int64_t m = OrbitWindowCount(app);
        if (m < gs.OrbitCols || gs.OrbitCols < 1) {
          c = m;
          r = 1;
        } else {
          c = gs.OrbitCols;
          r = (m - 1) / c + 1;
        }
      }
      g.columns = Checked(c);
      g.rows = Checked(r);
      W = int64_t{gs.LeftMargin} + c * gs.OrbitWidth + (c - 1) * gs.WaveSpace + gs.RightMargin;
      H = int64_t{gs.TopMargin} + r * gs.OrbitWidth + (r - 1) * gs.WaveSpace + gs.BottomMargin + hc * h;
      pw = ph = gs.OrbitWidth;
      break;
    }
    case PageForm::Report:
      W = gs.RepWidth;
      H = gs.RepHeight;
      break;
    case PageForm::Spectrum:
      W = int64_t{gs.LeftMargin} + gs.SpecWidth + gs.RightMargin;
      H = int64_t{gs.TopMargin} + gs.SpecHeight + gs.BottomMargin + hc * h;
      pw = gs.SpecWidth;
      ph = gs.SpecHeight;
      break;
  }
  g.width = Checked(Checked(W) * int64_t{100});
  g.height = Checked(Checked(H) * int64_t{100});
  g.plotLeft = Checked(int64_t{gs.LeftMargin} * 100);
  g.plotTop = Checked((int64_t{gs.TopMargin} + (gs.Header.empty() ? 0 : h)) * 100);
  g.plotWidth = Checked(pw * 100);
  g.plotHeight = Checked(ph * 100);
  return g;
}

std::vector<int32_t> ChannelsToDraw(const AppState& app) {
  std::vector<int32_t> list;
  const int32_t most = app.graph.CompCountMax;
  for (int32_t ch = 1; ch <= app.record.ChanCount; ++ch) {
    if (static_cast<int32_t>(list.size()) >= most) break;
    const size_t i = static_cast<size_t>(ch - 1);
    if (i < app.view.DrawChan.size() && app.view.DrawChan[i]) list.push_back(ch);
  }
  return list;
}

ClipboardFormats ClipboardFormatsFor(bool enhanced) {
  return ClipboardFormats{enhanced, true};
}

void DrawGraph(AppState& app, DrawSession& session, DrawHost& host, UserInterface& ui, int32_t target,
               int32_t kind, int32_t reportSelector, DeviceContext* printer) {
  // The caller decides what is shown (app.view.GraphKind); drawing never changes it.
  if (kind <= 0) {
    kind = app.view.GraphKind;
    if (kind == kReportKind) reportSelector = session.reportState;
  }
  if (kind <= 0) return;
  if (reportSelector < 0) reportSelector = session.reportState;

  DrawScope scope(ui);
  scope.Hourglass();
  BringSeriesUpToDate(app, kind, ui);

  const std::vector<int32_t> channels = ChannelsToDraw(app);
  if (channels.empty()) {
    ui.MsgBox(Str(6911), MsgIcon::Critical, ProgramTitle());
    return;
  }

  const GraphSettings& gs = app.graph;
  const auto n = static_cast<int32_t>(channels.size());
  double zoom = std::isfinite(session.zoom) && session.zoom > 0 ? session.zoom : 1.0;
  PageGeometry page;
  if (target == TargetScreen && session.fit.On()) {
    GraphSettings sized = gs;
    FitPlotsToView(sized, app, kind, n, session.fit);
    page = ComputePageGeometry(sized, app, kind, n);
    zoom = PageFormOf(kind) == PageForm::Report ? FitZoom(page.width, page.height, session.fit) : 1.0;
  } else {
    page = ComputePageGeometry(app, kind, n);
  }
  const int32_t W = page.width, H = page.height;  // 0.01 mm

  GraphFrame frame;
  frame.Left = page.plotLeft;
  frame.Top = page.plotTop;
  if (PageFormOf(kind) != PageForm::Report) {
    frame.Width = page.plotWidth;
    frame.Height = page.plotHeight;
  }
  frame.ClipToPlot = app.run.SwitchC;
  frame.AxisLine = PageLine(gs.Line[2]);
  frame.FrameLine = PageLine(gs.Line[1]);
  frame.AxisFont = PageFont(gs.Font[2]);
  frame.BackColor = gs.BackColor[1];
  frame.TitleFont = PageFont(gs.Font[1]);

  if (target != TargetScreen && target != TargetPrinter && target != TargetClipboard) return;

  cGraphicExtensions& gx = session.Gx;
  std::unique_ptr<PrintDocument> doc;
  std::unique_ptr<ClipboardPicture> picture;
  ForgetOnExit forget(gx);  // declared after the page objects: runs before they are destroyed
  switch (target) {
    case TargetScreen: {
      host.SetViewArea(RoundChecked(W * 0.56693 * zoom), RoundChecked(H * 0.56693 * zoom));
      DeviceContext* dc = host.ViewDc();
      if (dc == nullptr) return;
      gx.SetHdc(dc);
      gx.SetWindow(host.ViewWidth(), host.ViewHeight(), W, H);
      gx.SetOrigin(0, 0);
      break;
    }
    case TargetPrinter: {
      scope.ForceWaveIncrement(app.graph.WaveIncrement);
      doc = host.StartPrintDocument(ProgramTitle(), printer);
      if (!doc) return;
      doc->StartPage();
      forget.Set(&doc->Dc());
      gx.SetHdc(&doc->Dc());
      gx.SetWindow(doc->HorzRes(), doc->VertRes(), Checked(int64_t{doc->HorzSizeMm()} * 100),
                   Checked(int64_t{doc->VertSizeMm()} * 100));
      gx.SetOrigin(1000, 1000);
      break;
    }
    case TargetClipboard: {
      const bool enhanced = app.run.SwitchE;
      int32_t vw, vh;
      if (enhanced) {
        vw = RoundChecked(W / 100.0 * 0.03937 * host.ReferencePixelsPerInchX());
        vh = RoundChecked(H / 100.0 * 0.03937 * host.ReferencePixelsPerInchY());
      } else {
        const int32_t tx = std::max(host.ScreenTwipsPerPixelX(), 1),
                      ty = std::max(host.ScreenTwipsPerPixelY(), 1);
        vw = RoundChecked(W * 0.56693 / tx);
        vh = RoundChecked(H * 0.56693 / ty);
      }
      picture = host.StartClipboardPicture(ClipboardFormatsFor(enhanced), vw, vh, W, H);
      if (!picture) return;
      forget.Set(&picture->Dc());
      gx.SetHdc(&picture->Dc());
      gx.SetWindow(vw, vh, W, H);
      gx.SetOrigin(0, 0);
      break;
    }
  }
  gx.SetLineUnit(RoundCoord(static_cast<double>(gs.LineUnit) * 100));

  const TemplateFacts facts = CurrentTemplateFacts(app);
  if (!gs.Header.empty() || !gs.Footer.empty() || !facts.preprocessing.empty())
    DrawHeaderFooter(gx, gs, facts, W, H);

  const auto painter = session.painters.find(kind);
  if (painter != session.painters.end() && painter->second) {
    PaintContext context{app, gx, frame, kind, channels, reportSelector, ui, facts};
    painter->second(context);
  }
  if (kind == kReportKind) session.reportState = reportSelector;

  // The samples shown, for the main window.
  const double f = app.record.SampFreq;
  if (PageFormOf(kind) == PageForm::Wave) {
    // A window opening before the record starts its data that many intervals in (XData[1]).
    const double lead = frame.XData.size() > 1 && std::isfinite(frame.XData[1]) ? frame.XData[1] : 0.0;
    session.drawnFirst = RoundCoord(frame.X.Min * f + lead + frame.First);
    session.drawnLast = RoundCoord(frame.X.Min * f + lead + frame.Last);
  } else if (PageFormOf(kind) == PageForm::Orbit && gs.OrbitTime == 2) {
    session.drawnFirst = RoundCoord(gs.OrbitStart * f + 1);
    session.drawnLast = frame.Last;
  } else {
    session.drawnFirst = frame.First;
    session.drawnLast = frame.Last;
  }
  session.lastFrame = frame;

  switch (target) {
    case TargetScreen:
      session.timeAxisActive = FollowsTimeAxis(app, kind);
      session.screenFrame = frame;
      session.screenChannels = channels;
      session.screenUnitsPerPixel =
          host.ViewWidth() > 0 && host.ViewHeight() > 0
              ? std::max(static_cast<double>(W) / host.ViewWidth(), static_cast<double>(H) / host.ViewHeight())
              : 0.0;
      host.RefreshView();
      break;
    case TargetPrinter:
      doc->EndPage();
      doc->EndDocument();
      break;
    case TargetClipboard:
      picture->PutOnClipboard();
      break;
  }
}

}  // namespace sism
