#include "app/gui/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "app/gui/graph_mouse.h"
#include "app/gui/localize.h"
#include "app/gui/menus.h"
#include "app/gui/qt_strings.h"
#include "app/gui/screen_host.h"
#include "app/gui/splash.h"
#include "common/errors.h"
#include "common/strings.h"

namespace sism {

namespace {

ViewKey ViewKeyOf(int key) {
  static const std::pair<int, ViewKey> keys[] = {{Qt::Key_Space, ViewKey::Space},
                                                 {Qt::Key_Right, ViewKey::Right},
                                                 {Qt::Key_Backspace, ViewKey::Backspace},
                                                 {Qt::Key_Left, ViewKey::Left},
                                                 {Qt::Key_Home, ViewKey::Home},
                                                 {Qt::Key_Up, ViewKey::Up},
                                                 {Qt::Key_Down, ViewKey::Down},
                                                 {Qt::Key_PageUp, ViewKey::PageUp},
                                                 {Qt::Key_PageDown, ViewKey::PageDown},
                                                 {Qt::Key_C, ViewKey::C},
                                                 {Qt::Key_G, ViewKey::G},
                                                 {Qt::Key_L, ViewKey::L}};
  for (const auto& [k, v] : keys)
    if (k == key) return v;
  return ViewKey::Other;
}

// Desktop folders as the settings expect them, with a trailing separator.
std::string FolderWithSlash(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + "/";
}

}  // namespace

FSismora::FSismora(AppState& app, QWidget* parent)
    : QMainWindow(parent), QtUserInterface(static_cast<QWidget&>(*this)), app_(app) {
  InitResources();
  setObjectName("fSismora");
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);

  picBack_ = new QScrollArea(this);
  picBack_->setObjectName("picBack");
  picBack_->setFocusPolicy(Qt::NoFocus);
  // A page narrower or lower than the window sits in its middle.
  picBack_->setAlignment(Qt::AlignCenter);
  picBack_->setWidgetResizable(false);
  picBack_->viewport()->setAcceptDrops(true);
  picBack_->viewport()->installEventFilter(this);
  QPalette back = picBack_->palette();
  back.setColor(QPalette::Window, palette().color(QPalette::Mid));
  picBack_->setBackgroundRole(QPalette::Window);
  picBack_->setPalette(back);
  picView_ = new PicView;
  picView_->resize(1, 1);
  picView_->onDrop = [this](const QList<QUrl>& urls) { DropFiles(urls, true); };
  picView_->onRightClick = [this](const QPoint& at) { menus_->ViewMenu()->popup(at); };
  picBack_->setWidget(picView_);
  auto* corner = new QPushButton(picBack_);
  corner->setObjectName("cmdCorner");
  corner->setFocusPolicy(Qt::NoFocus);
  connect(corner, &QPushButton::clicked, this, [this] {
    MsgBox(std::string("\\(^o^)/") + "\n" + "What function should be allocated to this button?",
           MsgIcon::None, ProgramTitle());
  });
  picBack_->setCornerWidget(corner);
  setCentralWidget(picBack_);
  screen_ = std::make_unique<ScreenHost>(*picView_);

  menus_ = std::make_unique<MainMenus>(*this);
  BuildStatusPanels(*statusBar());
  // A double click on the record summary shows the file behind it.
  if (auto* summary = findChild<QLabel*>("panel2")) summary->installEventFilter(this);
  output_ = std::make_unique<OutputCommands>(*this, app_, session_, *screen_, *this, paths_);

  // The mouse on the graph, with its readout at the right of the status bar.
  auto* readout = new QLabel(this);
  readout->setObjectName("panelPointer");
  readout->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 48);
  statusBar()->addPermanentWidget(readout);
  mouse_ = std::make_unique<GraphMouse>(*this, *readout);
  GraphMouse* mouse = mouse_.get();
  picView_->onWheel = [mouse](QPointF at, int delta) { return mouse->Wheel(at, delta); };
  picView_->onPress = [mouse](QPointF at, Qt::KeyboardModifiers m) { mouse->Press(at, m); };
  picView_->onMove = [mouse](QPointF at, Qt::MouseButtons b) { mouse->Move(at, b); };
  picView_->onRelease = [mouse](QPointF at) { mouse->Release(at); };
  picView_->onDoubleClick = [mouse](QPointF at) { mouse->DoubleClick(at); };
  picView_->onLeave = [mouse] { mouse->Leave(); };
  picView_->band = [mouse] { return mouse->Band(); };
  fitTimer_ = new QTimer(this);
  fitTimer_->setSingleShot(true);
  fitTimer_->setInterval(30);
  connect(fitTimer_, &QTimer::timeout, this, [this] {
    if (zoomIndex_ != kFitZoomIndex) return;
    UpdateFit();
    Redraw();
  });
}

FSismora::~FSismora() = default;

QWidget* FSismora::Background() const {
  return picBack_->viewport();
}

QAction* FSismora::ActionByKey(const std::string& key) const {
  return menus_->ActionByKey(key);
}

QToolBar* FSismora::ToolBar() const {
  return menus_->ToolBar();
}

QMenu* FSismora::ChannelMenu() const {
  return menus_->ChannelMenu();
}

const std::vector<QAction*>& FSismora::RecentActions() const {
  return menus_->RecentItems();
}

void FSismora::Load() {
  LocalizeForm(this);
  setWindowTitle(Q(ProgramTitle()));
  // Folders and recent files.
  SetPathDefaults(paths_);
  LoadPathSettings(paths_);
  files_.LastFolder = FolderWithSlash(paths_.LastFolder);
  // Placement in twips: a first run fills most of the screen; a stored one that would lie
  // off every screen, or be larger than it, is brought back onto one.
  WindowPlacement w;
  LoadWindowPlacement(w);
  std::vector<ScreenRect> screens;
  std::size_t primary = 0;
  for (QScreen* s : QGuiApplication::screens()) {
    if (s == QGuiApplication::primaryScreen()) primary = screens.size();
    const QRect a = s->availableGeometry();
    screens.push_back({a.x(), a.y(), a.width(), a.height()});
  }
  std::optional<ScreenRect> stored;
  if (w.Stored)
    stored = ScreenRect{PixelsFromTwips(w.Left), PixelsFromTwips(w.Top), std::max(PixelsFromTwips(w.Width), 200),
                        std::max(PixelsFromTwips(w.Height), 150)};
  const ScreenRect place = PlaceMainWindow(stored, screens, primary);
  resize(place.width, place.height);
  move(place.x, place.y);
  if (w.State == 2) setWindowState(windowState() | Qt::WindowMaximized);
  menus_->ToolBar()->setVisible(w.ToolBar);
  menus_->ToolBarItem()->setChecked(w.ToolBar);
  statusBar()->setVisible(w.StatusBar);
  menus_->StatusBarItem()->setChecked(w.StatusBar);
  // Corner button as thick as the scroll bars.
  const int thick = picBack_->verticalScrollBar()->sizeHint().width();
  picBack_->cornerWidget()->setFixedSize(thick, thick);
  RefreshRecentMenu();
  zoomIndex_ = -1;
  SetZoom(kFitZoomIndex);
  EnableControls(false);
}

void FSismora::SaveWindowState() {
  WindowPlacement w;
  LoadWindowPlacement(w);
  const Qt::WindowStates s = windowState();
  if (s & Qt::WindowMinimized) {
    w.State = kWindowMinimized;
  } else {
    w.State = (s & Qt::WindowMaximized) ? 2 : 0;
    if (w.State == 0) {
      const QRect g = geometry();
      const QRect f = frameGeometry();
      w.Left = static_cast<float>(TwipsFromPixels(f.x()));
      w.Top = static_cast<float>(TwipsFromPixels(f.y()));
      w.Width = static_cast<float>(TwipsFromPixels(g.width()));
      w.Height = static_cast<float>(TwipsFromPixels(g.height()));
    }
  }
  w.ToolBar = menus_->ToolBarItem()->isChecked();
  w.StatusBar = menus_->StatusBarItem()->isChecked();
  try {
    SaveWindowPlacement(w);
    paths_.LastFolder = files_.LastFolder;
    SavePathSettings(paths_);
  } catch (const std::exception& e) {
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, ProgramTitle());
  }
}

void FSismora::closeEvent(QCloseEvent* event) {
  SaveWindowState();
  // Release the record and clear the status fields before the windows go.
  ClearRecord(app_.record);
  app_.Durations.clear();
  app_.series = ComputedSeries{};
  app_.view = ViewState{};
  ClearStatus();
  screen_->ClearPicture();
  if (splash_ != nullptr) splash_->close();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible()) w->close();
  event->accept();
}

// ---------------------------------------------------------------------------------------------
// Drag and drop

void FSismora::DropFiles(const QList<QUrl>& urls, bool onGraph) {
  // Only the first dropped file counts.
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    ReadFile(PathOf(url.toLocalFile()), onGraph);
    return;
  }
}

bool FSismora::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && watched->objectName() == QLatin1String("panel2")) {
    if (controlsEnabled_) RecordFileHexCommand();
    return true;
  }
  if (watched == picBack_->viewport()) {
    switch (event->type()) {
      case QEvent::Resize:
        if (zoomIndex_ == kFitZoomIndex) fitTimer_->start();
        break;
      case QEvent::DragEnter:
      case QEvent::DragMove:
        AcceptFileList(static_cast<QDropEvent*>(event));
        return true;
      case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (AcceptFileList(e)) DropFiles(e->mimeData()->urls(), false);
        return true;
      }
      case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::RightButton) menus_->FileMenu()->popup(e->globalPosition().toPoint());
        return true;
      }
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// View

bool FSismora::KindDrawable(int32_t kind) const {
  return session_.painters.count(kind) > 0;
}

int32_t FSismora::ReportSelector() const {
  return app_.view.GraphKind == kReportKind ? reportPage_ : -1;
}

void FSismora::SetGraphKind(int32_t kind, bool force) {
  // Choosing the kind shown again keeps it checked (the item toggled itself off).
  menus_->CheckKind(kind);
  if (!force && kind == app_.view.GraphKind && (kind != kReportKind || reportPage_ == session_.reportState))
    return;
  app_.view.GraphKind = kind;
  DrawScreen(kind, kind == kReportKind ? reportPage_ : -1);
  ShowStatusMessage(KindStatusText(app_, kind));
  UpdateTimeButtons();
  picView_->update();
}

void FSismora::RefreshGraph() {
  if (app_.view.GraphKind > 0) SetGraphKind(app_.view.GraphKind, true);
}

void FSismora::ShowReportPage(int32_t page) {
  previousReportPage_ = reportPage_;
  reportPage_ = page;
  SetGraphKind(kReportKind, false);
}

void FSismora::UpdateTimeButtons() {
  menus_->EnableTimeButtons(controlsEnabled_, session_.timeAxisActive, app_.view.GraphKind);
}

TimeWindow FSismora::CurrentTimeWindow() const {
  return sism::CurrentTimeWindow(app_);
}

void FSismora::ShiftTime(double f) {
  if (!session_.timeAxisActive) return;
  const auto w =
      ShiftTimeWindow(CurrentTimeWindow(), f, RecordSeconds(app_.record.DataCount, app_.record.SampFreq));
  if (!w) return;
  sism::SetTimeWindow(app_, *w);
  Redraw();
}

void FSismora::ZoomTime(double f) {
  if (!session_.timeAxisActive) return;
  const double seconds =
      app_.record.SampFreq > 0 ? static_cast<double>(app_.record.DataCount) / app_.record.SampFreq : 0.0;
  const auto w = ZoomTimeWindow(CurrentTimeWindow(), f, seconds);
  if (!w) return;
  sism::SetTimeWindow(app_, *w);
  Redraw();
}

void FSismora::SetZoom(int index) {
  if (index < 0 || index >= kZoomChoices || index == zoomIndex_) return;
  menus_->ShowZoom(zoomIndex_, index);
  zoomIndex_ = index;
  if (index == kFitZoomIndex) {
    UpdateFit();
  } else {
    session_.fit = ScreenFit{};
    session_.zoom = static_cast<float>(kZoomPercent[static_cast<size_t>(index)]) / 100.0f;
  }
  Redraw();
}

std::pair<double, double> FSismora::FitScales() const {
  const int32_t kind = app_.view.GraphKind;
  if (kind <= 0 || app_.record.ChanCount <= 0 || picView_->width() <= 0) return {1, 1};
  const auto n = static_cast<int32_t>(ChannelsToDraw(app_).size());
  const PageGeometry page = ComputePageGeometry(app_, kind, n);
  if (page.width <= 0 || page.height <= 0) return {1, 1};
  // The page at 100 % in pixels, against the picture shown.
  const double w = page.width / 100.0 * kScreenPixelsPerMm, h = page.height / 100.0 * kScreenPixelsPerMm;
  const double rw = picView_->width() / w, rh = picView_->height() / h;
  return {std::min(rw, rh), std::max(rw, rh)};
}

void FSismora::StepZoom(int step) {
  if (zoomIndex_ != kFitZoomIndex) {
    SetZoom(SteppedZoomIndex(zoomIndex_, step));
    return;
  }
  const auto [smaller, larger] = FitScales();
  const int index = ZoomIndexAfterFit(smaller, larger, step);
  if (index >= 0) SetZoom(index);
}

int ZoomIndexAfterFit(double smaller, double larger, int step) {
  // Up: the first step larger than the picture in both directions; down: smaller in both.
  if (step > 0) {
    for (int i = 0; i < kZoomSteps; ++i)
      if (kZoomPercent[static_cast<size_t>(i)] / 100.0 > larger * 1.001) return i;
  } else if (step < 0) {
    for (int i = kZoomSteps - 1; i >= 0; --i)
      if (kZoomPercent[static_cast<size_t>(i)] / 100.0 < smaller * 0.999) return i;
  }
  return -1;
}

void FSismora::Redraw() {
  const int32_t kind = app_.view.GraphKind;
  if (kind <= 0 || !controlsEnabled_) return;
  DrawScreen(kind, ReportSelector());
  UpdateTimeButtons();
}

void FSismora::DrawScreen(int32_t kind, int32_t reportSelector) {
  if (kind <= 0 || app_.record.ChanCount <= 0) return;
  try {
    DrawGraph(app_, session_, *screen_, *this, TargetScreen, kind, reportSelector);
  } catch (const std::exception& e) {
    screen_->EndPicture();
    const ErrorInfo info = CurrentErrorInfo(e);
    MsgBox("Err#" + std::to_string(info.number) + ": " + info.description, MsgIcon::Critical,
           "DrawGraph - " + ProgramTitle());
  }
  screen_->EndPicture();
}

void FSismora::UpdateFit() {
  const QSize area = picBack_->viewport()->size();
  session_.fit = ScreenFit{std::max(area.width(), 1), std::max(area.height(), 1)};
}

void FSismora::ApplyTwoChannelViews(bool enabled) {
  twoChannelViews_ = enabled;
  menus_->EnableTwoChannelViews(enabled && controlsEnabled_);
}

void FSismora::EnableControls(bool enabled) {
  controlsEnabled_ = enabled;
  picView_->setEnabled(enabled);
  menus_->EnableRecordItems(enabled);
  if (enabled) {
    ApplyTwoChannelViews(twoChannelViews_);
    UpdateTimeButtons();
  } else {
    screen_->ClearPicture();
    setWindowTitle(Q(ProgramTitle()));
    // Every kind unchecked: a read has often reset the state's kind before we get here.
    menus_->CheckKind(0);
    app_.view.GraphKind = 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Keyboard

void FSismora::keyPressEvent(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const KeyCommand c = KeyCommandFor(ViewKeyOf(event->key()), shift, ctrl);
  switch (c.kind) {
    case KeyCommandKind::None:
      QMainWindow::keyPressEvent(event);
      return;
    case KeyCommandKind::ShiftTime:
      ShiftTime(c.value);
      break;
    case KeyCommandKind::ZoomTime:
      ZoomTime(c.value);
      break;
    case KeyCommandKind::ZoomStep:
      StepZoom(static_cast<int>(c.value));
      break;
    case KeyCommandKind::CopySummary:
      QApplication::clipboard()->setText(Q(StatusParamsText()));
      break;
    case KeyCommandKind::ToggleGrid:
      app_.graph.DrawGrid = !app_.graph.DrawGrid;
      Redraw();
      break;
    case KeyCommandKind::StepLegend:
      app_.graph.LegendPosition = NextLegendPosition(app_.graph.LegendPosition);
      Redraw();
      break;
  }
  event->accept();
}

}  // namespace sism
