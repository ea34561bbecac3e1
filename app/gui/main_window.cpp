#include "app/gui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include "app/gui/calc_window.h"
#include "app/gui/dialogs.h"
#include "app/gui/localize.h"
#include "app/gui/splash.h"
#include "app/gui/text_viewer.h"
#include "app/shell/export.h"
#include "app/shell/peaks_report.h"
#include "app/shell/properties_report.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "draw/image_output.h"
#include "draw/qt/page_output.h"
#include "load/new_channel.h"
#include "load/statistics.h"
#include "record/record_texts.h"

namespace sism {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

std::string PathOf(const QString& s) {
  return QDir::toNativeSeparators(s).toStdString();
}

// Toolbar keys with the kind they select.
struct KindButton {
  const char* key;
  int32_t kind;
};
constexpr KindButton kKindButtons[] = {{"acc", 1},  {"vel", 2},   {"disp", 3},   {"four", 4}, {"pow", 5},
                                       {"auto", 6}, {"resp", 10}, {"orbit", 14}, {"rel", 15}, {"rep", 21}};

// Commands whose windows belong to other parts of the program and are not built yet.
bool CommandAvailable(const std::string& name) {
  static const char* missing[] = {"mnuViewOption", "opt"};
  for (const char* m : missing)
    if (name == m) return false;
  return true;
}

ViewKey ViewKeyOf(int key) {
  switch (key) {
    case Qt::Key_Space:
      return ViewKey::Space;
    case Qt::Key_Right:
      return ViewKey::Right;
    case Qt::Key_Backspace:
      return ViewKey::Backspace;
    case Qt::Key_Left:
      return ViewKey::Left;
    case Qt::Key_Home:
      return ViewKey::Home;
    case Qt::Key_Up:
      return ViewKey::Up;
    case Qt::Key_Down:
      return ViewKey::Down;
    case Qt::Key_PageUp:
      return ViewKey::PageUp;
    case Qt::Key_PageDown:
      return ViewKey::PageDown;
    case Qt::Key_C:
      return ViewKey::C;
    case Qt::Key_G:
      return ViewKey::G;
    case Qt::Key_L:
      return ViewKey::L;
    default:
      return ViewKey::Other;
  }
}

// Desktop folders as the settings expect them, with a trailing separator.
std::string FolderWithSlash(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + "/";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Graph picture

PicView::PicView(QWidget* parent) : QWidget(parent) {
  setObjectName("picView");
  setAcceptDrops(true);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

void PicView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

namespace {
// File lists are taken as a copy; anything else is refused.
bool AcceptFileList(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return false;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return true;
}
}  // namespace

void PicView::dragEnterEvent(QDragEnterEvent* event) {
  AcceptFileList(event);
}

void PicView::dragMoveEvent(QDragMoveEvent* event) {
  AcceptFileList(event);
}

void PicView::dropEvent(QDropEvent* event) {
  if (!AcceptFileList(event)) return;
  if (onDrop) onDrop(event->mimeData()->urls());
}

void PicView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && onRightClick) onRightClick(event->globalPosition().toPoint());
}

// ---------------------------------------------------------------------------------------------
// Window

FSismora::FSismora(AppState& app, QWidget* parent) : QMainWindow(parent), app_(app) {
  InitResources();
  setObjectName("fSismora");
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  picture_ = std::make_unique<ScreenPicture>(96);

  picBack_ = new QScrollArea(this);
  picBack_->setObjectName("picBack");
  picBack_->setFocusPolicy(Qt::NoFocus);
  picBack_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
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
  picView_->onRightClick = [this](const QPoint& at) { menuView_->popup(at); };
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

  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
}

FSismora::~FSismora() = default;

QWidget* FSismora::Background() const {
  return picBack_->viewport();
}

QAction* FSismora::AddItem(QMenu* menu, const char* name, int textId, std::function<void()> run) {
  auto* a = new QAction(this);
  a->setObjectName(name);
  SetTextId(a, textId);
  if (run) connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
  menu->addAction(a);
  return a;
}

QAction* FSismora::AddKindItem(QMenu* menu, const char* name, int32_t kind) {
  // Menu texts of the kinds: 1510 to 1560 in steps of ten, then each submenu's own block.
  static const int textIds[] = {0,    1510, 1520, 1530, 1540, 1550, 1560, 1571, 1572, 1573, 1574,
                                1575, 1581, 1582, 1583, 1585, 1586, 1587, 1588, 1589, 1590, 0};
  QAction* a = AddItem(menu, name, textIds[kind], [this, kind] { SetGraphKind(kind, false); });
  a->setCheckable(true);
  kindItems_[kind] = a;
  return a;
}

void FSismora::BuildMenus() {
  auto menu = [this](QMenu* parent, const char* name, int textId) {
    auto* m = parent != nullptr ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    m->setObjectName(name);
    SetTextId(m, textId);
    return m;
  };
  // File
  menuFile_ = menu(nullptr, "mnuFile", 1100);
  AddItem(menuFile_, "mnuFileOpen", 1110, [this] {
    OpenRecordDialog(false);
  })->setShortcut(QKeySequence::Open);
  AddItem(menuFile_, "mnuFileAppend", 1120, [this] { OpenRecordDialog(true); });
  AddItem(menuFile_, "mnuFileClose", 1130, [this] { CloseRecord(); })->setShortcut(QKeySequence::Close);
  menuFile_->addSeparator();
  AddItem(menuFile_, "mnuFileSaveAc", 1140, [this] { SaveAcCommand(); });
  QMenu* exportMenu = menu(menuFile_, "mnuFileExport", 1150);
  exportMenu->menuAction()->setObjectName("mnuFileExport");
  static const char* exportNames[] = {"",
                                      "mnuFileExportAcc",
                                      "mnuFileExportVel",
                                      "mnuFileExportDisp",
                                      "mnuFileExportFour",
                                      "mnuFileExportPow",
                                      "mnuFileExportAutoCorr",
                                      "mnuFileExportSa",
                                      "mnuFileExportSv",
                                      "mnuFileExportSd",
                                      "mnuFileExportpSv",
                                      "mnuFileExportEnergySpec",
                                      "",
                                      "",
                                      "",
                                      "mnuFileExportFourRatio",
                                      "mnuFileExportPhase",
                                      "mnuFileExportCross",
                                      "mnuFileExportCrossCorr",
                                      "mnuFileExportCoher",
                                      "mnuFileExportRespRetio"};
  for (int32_t k = 1; k <= 20; ++k) {
    if (!ExportableKind(k)) continue;
    if (k == 15) exportMenu->addSeparator();
    AddItem(exportMenu, exportNames[k], 7100 + k, [this, k] { ExportCommand(k); });
  }
  menuFile_->addSeparator();
  AddItem(menuFile_, "mnuFilePrint", 1160, [this] { PrintCommand(); })->setShortcut(QKeySequence::Print);
  AddItem(menuFile_, "mnuFileSaveImage", 1170, [this] { SaveImageCommand(); });
  recentSeparator_ = menuFile_->addSeparator();
  recentSeparator_->setVisible(false);
  for (int i = 0; i < kRecentCount; ++i) {
    auto* a = new QAction(this);
    a->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i));
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, a] { ReadFile(PathOf(a->data().toString()), false); });
    menuFile_->addAction(a);
    recentItems_.push_back(a);
  }
  menuFile_->addSeparator();
  AddItem(menuFile_, "mnuFileExit", 1190, [this] { close(); })->setShortcut(QKeySequence::Quit);

  // Edit
  menuEdit_ = menu(nullptr, "mnuEdit", 1300);
  AddItem(menuEdit_, "mnuEditCopy", 1310, [this] { CopyCommand(); })->setShortcut(QKeySequence::Copy);
  AddItem(menuEdit_, "mnuEditCopyBitmap", 1320, [this] { CopyBitmapCommand(); });
  menuEdit_->addSeparator();
  AddItem(menuEdit_, "mnuEditNewChannel", 1330, [this] { CreateNewChannelCommand(); });

  // View
  menuView_ = menu(nullptr, "mnuView", 1500);
  AddKindItem(menuView_, "mnuViewAcc", 1);
  AddKindItem(menuView_, "mnuViewVel", 2);
  AddKindItem(menuView_, "mnuViewDisp", 3);
  menuView_->addSeparator();
  AddKindItem(menuView_, "mnuViewFour", 4);
  AddKindItem(menuView_, "mnuViewPow", 5);
  AddKindItem(menuView_, "mnuViewAuto", 6);
  menuResp_ = menu(menuView_, "mnuViewResp", 1570);
  AddKindItem(menuResp_, "mnuViewRespSa", 7);
  AddKindItem(menuResp_, "mnuViewRespSv", 8);
  AddKindItem(menuResp_, "mnuViewRespSd", 9);
  AddKindItem(menuResp_, "mnuViewRespTrip", 10);
  AddKindItem(menuResp_, "mnuViewRespVe", 11);
  menuOrbit_ = menu(menuView_, "mnuViewOrbit", 1580);
  AddKindItem(menuOrbit_, "mnuViewOrbitAcc", 12);
  AddKindItem(menuOrbit_, "mnuViewOrbitVel", 13);
  AddKindItem(menuOrbit_, "mnuViewOrbitDisp", 14);
  menuRel_ = menu(menuView_, "mnuViewRel", 1584);
  AddKindItem(menuRel_, "mnuViewRelFourRatio", 15);
  AddKindItem(menuRel_, "mnuViewRelPhase", 16);
  AddKindItem(menuRel_, "mnuViewRelCrossS", 17);
  AddKindItem(menuRel_, "mnuViewRelCrossC", 18);
  AddKindItem(menuRel_, "mnuViewRelCoh", 19);
  AddKindItem(menuRel_, "mnuViewRelRespRatio", 20);
  menuChannel_ = menu(menuView_, "mnuViewChannel", 1592);
  menuView_->addSeparator();
  menuTime_ = menu(menuView_, "mnuViewTime", 1600);
  AddItem(menuTime_, "mnuViewTimeBack", 1602, [this] { ShiftTime(-0.5); });
  AddItem(menuTime_, "mnuViewTimeForward", 1604, [this] { ShiftTime(0.5); });
  AddItem(menuTime_, "mnuViewTimeEnlarge", 1606, [this] { ZoomTime(0.5); });
  AddItem(menuTime_, "mnuViewTimeReduce", 1608, [this] { ZoomTime(2); });
  menuZoom_ = menu(menuView_, "mnuViewZoom", 1610);
  for (int i = 0; i < kZoomSteps; ++i) {
    QAction* a = AddItem(menuZoom_, "", 1611 + i, [this, i] { SetZoom(i); });
    a->setObjectName(QStringLiteral("mnuViewZoom%1").arg(i));
    a->setCheckable(true);
    zoomItems_.push_back(a);
  }
  menuView_->addSeparator();
  AddItem(menuView_, "mnuViewPeak", 1620, [this] { PeaksCommand(); });
  AddItem(menuView_, "mnuViewProp", 1630, [this] { PropertiesCommand(); });
  AddItem(menuView_, "mnuViewOption", 1640, nullptr);
  AddItem(menuView_, "mnuViewRefresh", 1650, [this] {
    if (currentKind_ > 0) SetGraphKind(currentKind_, true);
  })->setShortcut(QKeySequence::Refresh);
  menuView_->addSeparator();
  actToolBar_ =
      AddItem(menuView_, "mnuViewToolBar", 1660, [this] { toolBar_->setVisible(actToolBar_->isChecked()); });
  actToolBar_->setCheckable(true);
  actToolBar_->setChecked(true);
  actStatusBar_ = AddItem(menuView_, "mnuViewStatusBar", 1670,
                          [this] { statusBar()->setVisible(actStatusBar_->isChecked()); });
  actStatusBar_->setCheckable(true);
  actStatusBar_->setChecked(true);

  // Tool
  menuTool_ = menu(nullptr, "mnuTool", 1700);
  AddItem(menuTool_, "mnuToolPreProc", 1710, [this] { PreprocessCommand(); });
  AddItem(menuTool_, "mnuToolCalc", 1720, [this] { CalculationCommand(); });
  AddItem(menuTool_, "mnuToolParam", 1730, [this] { ParameterCommand(); });
  AddItem(menuTool_, "mnuToolEvent", 1740, nullptr)->setVisible(false);
  AddItem(menuTool_, "mnuToolDatabase", 1750, nullptr)->setVisible(false);

  // Help
  menuHelp_ = menu(nullptr, "mnuHelp", 1900);
  AddItem(menuHelp_, "mnuHelpTopics", 1910, [this] {
    HelpTopics();
  })->setShortcut(QKeySequence::HelpContents);
  menuHelp_->addSeparator();
  AddItem(menuHelp_, "mnuHelpAbout", 1990, [this] { AboutCommand(); });
}

void FSismora::BuildToolBar() {
  toolBar_ = addToolBar(QString());
  toolBar_->setObjectName("Toolbar");
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(24, 24));
  toolBar_->setFocusPolicy(Qt::NoFocus);
  auto button = [this](const char* key, int tipId, const char* theme, std::function<void()> run) {
    const QString file = QStringLiteral(":/icons/%1.svg").arg(std::string(key) == "zoom" ? "zoom100" : key);
    QIcon icon = theme != nullptr ? QIcon::fromTheme(theme, QIcon(file)) : QIcon(file);
    auto* a = toolBar_->addAction(icon, QString());
    a->setObjectName(key);
    SetTipId(a, tipId);
    SetTextId(a, tipId);
    if (run) connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
    toolButtons_[key] = a;
    return a;
  };
  button("open", 5102, "document-open", [this] { OpenRecordDialog(false); });
  button("append", 5103, nullptr, [this] { OpenRecordDialog(true); });
  button("print", 5104, "document-print", [this] { PrintCommand(); });
  button("copy", 5105, "edit-copy", [this] { CopyCommand(); });
  toolBar_->addSeparator();
  int tip = 5106;
  for (const auto& kb : kKindButtons) {
    const int32_t kind = kb.kind;
    QAction* a = button(kb.key, tip++, nullptr, [this, kind] { SetGraphKind(kind, false); });
    a->setCheckable(true);
    kindKeys_[kind] = kb.key;
  }
  // Drop-down arrows on the buttons that stand for a whole submenu.
  auto dropDown = [this](const char* key, QMenu* menu, QToolButton::ToolButtonPopupMode mode) {
    QAction* a = toolButtons_[key];
    if (auto* tb = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a))) {
      tb->setMenu(menu);
      tb->setPopupMode(mode);
    }
  };
  dropDown("resp", menuResp_, QToolButton::MenuButtonPopup);
  dropDown("orbit", menuOrbit_, QToolButton::MenuButtonPopup);
  dropDown("rel", menuRel_, QToolButton::MenuButtonPopup);
  dropDown("rep", menuChannel_, QToolButton::MenuButtonPopup);
  toolBar_->addSeparator();
  button("left", 5116, nullptr, [this] { ShiftTime(-0.5); });
  button("right", 5117, nullptr, [this] { ShiftTime(0.5); });
  button("enlarge", 5118, nullptr, [this] { ZoomTime(0.5); });
  button("reduce", 5119, nullptr, [this] { ZoomTime(2); });
  button("zoom", 5120, nullptr, nullptr);
  dropDown("zoom", menuZoom_, QToolButton::InstantPopup);
  toolBar_->addSeparator();
  button("peak", 5121, nullptr, [this] { PeaksCommand(); });
  button("prop", 5122, nullptr, [this] { PropertiesCommand(); });
  button("opt", 5123, nullptr, nullptr);
  button("calc", 5124, nullptr, [this] { CalculationCommand(); });
  toolBar_->addSeparator();
  button("close", 5130, nullptr, [this] { close(); });
  for (auto& [key, a] : toolButtons_) a->setProperty("key", Q(key));
}

void FSismora::BuildStatusBar() {
  panelMessage_ = new QLabel(this);
  panelMessage_->setObjectName("panel1");
  panelParams_ = new QLabel(this);
  panelParams_->setObjectName("panel2");
  panelParams_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusBar()->addWidget(panelMessage_, 1);
  statusBar()->addPermanentWidget(panelParams_, 2);
}

QAction* FSismora::ActionByKey(const std::string& key) const {
  auto it = toolButtons_.find(key);
  if (it != toolButtons_.end()) return it->second;
  if (auto* a = findChild<QAction*>(Q(key))) return a;
  // A submenu stands for its item in the parent menu.
  if (auto* m = findChild<QMenu*>(Q(key))) return m->menuAction();
  return nullptr;
}

void FSismora::Load() {
  LocalizeForm(this);
  setWindowTitle(Q(ProgramTitle()));
  // Folders and recent files.
  SetPathDefaults(paths_);
  LoadPathSettings(paths_);
  files_.LastFolder = FolderWithSlash(paths_.LastFolder);
  // Placement in twips; off-screen or absurd values fall back to the built-in size.
  WindowPlacement w;
  LoadWindowPlacement(w);
  int width = std::clamp(PixelsFromTwips(w.Width), 200, 10000);
  int height = std::clamp(PixelsFromTwips(w.Height), 150, 10000);
  resize(width, height);
  move(std::clamp(PixelsFromTwips(w.Left), -width + 50, 20000), std::clamp(PixelsFromTwips(w.Top), 0, 20000));
  if (w.State == 2) setWindowState(windowState() | Qt::WindowMaximized);
  toolBar_->setVisible(w.ToolBar);
  actToolBar_->setChecked(w.ToolBar);
  statusBar()->setVisible(w.StatusBar);
  actStatusBar_->setChecked(w.StatusBar);
  // Corner button as thick as the scroll bars.
  const int thick = picBack_->verticalScrollBar()->sizeHint().width();
  picBack_->cornerWidget()->setFixedSize(thick, thick);
  RefreshRecentMenu();
  zoomIndex_ = -1;
  SetZoom(kDefaultZoomIndex);
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
  w.ToolBar = actToolBar_->isChecked();
  w.StatusBar = actStatusBar_->isChecked();
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
  panelMessage_->clear();
  panelParams_->clear();
  savedStatus_.clear();
  ClearPicture();
  if (splash_ != nullptr) splash_->close();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible()) w->close();
  event->accept();
}

// ---------------------------------------------------------------------------------------------
// Opening files

void FSismora::OpenRecordDialog(bool append) {
  const OpenDialogSetup setup = OpenRecordDialogSetup(files_, append);
  // "description|patterns|..." becomes Qt's "description (patterns);;...".
  const std::vector<std::string> parts = Split(setup.filter, "|");
  QStringList filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = Q(parts[i + 1]);
    patterns.replace(';', ' ');
    filters << Q(parts[i]) + " (" + patterns + ")";
  }
  QFileDialog dialog(this, Q(setup.title), Q(setup.initialFolder));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  const int index =
      std::clamp(setup.filterIndex, 1, static_cast<int>(std::max<qsizetype>(filters.size(), 1)));
  if (!filters.isEmpty()) dialog.selectNameFilter(filters[index - 1]);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  files_.FilterIndex = static_cast<int32_t>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (files_.FilterIndex < 1) files_.FilterIndex = 1;
  ReadFile(PathOf(dialog.selectedFiles().first()), append);
}

void FSismora::ReadFile(const std::string& given, bool append) {
  // Folders and recent entries are kept absolute, so they still work from another folder.
  const std::string path = given.empty() ? given : PathOf(QFileInfo(Q(given)).absoluteFilePath());
  ReadFileResult r;
  try {
    r = sism::ReadFile(app_, files_, path, append, *this);
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    MsgBox("Failed to read " + path + " (Err#" + std::to_string(info.number) + ": " + info.description + ")",
           MsgIcon::Critical, "ReadFile - " + ProgramTitle());
    r.noRecord = app_.record.ChanCount == 0;
    r.caption = ProgramTitle();
  }
  if (r.refresh) {
    EnableControls(false);
    SetGraphKind(1, false);
    AddRecentFile(path);
    RebuildChannelMenu();
    ApplyTwoChannelViews(r.twoChannelViews);
    setWindowTitle(Q(r.caption));
  } else if (r.noRecord && controlsEnabled_) {
    // A failed open has already cleared the record: show the empty window.
    EnableControls(false);
    RebuildChannelMenu();
  }
}

void FSismora::CloseRecord() {
  EnableControls(false);
  ClearRecord(app_.record);
  app_.Durations.clear();
  app_.series = ComputedSeries{};
  app_.view.GraphKind = 0;
  app_.view.ViewChanCount = 0;
  files_.CaptionFilePart.clear();
  panelMessage_->clear();
  panelParams_->clear();
  RebuildChannelMenu();
}

void FSismora::DropFiles(const QList<QUrl>& urls, bool onGraph) {
  // Only the first dropped file counts.
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    ReadFile(PathOf(url.toLocalFile()), onGraph);
    return;
  }
}

bool FSismora::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picBack_->viewport()) {
    switch (event->type()) {
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
        if (e->button() == Qt::RightButton) menuFile_->popup(e->globalPosition().toPoint());
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

void FSismora::SetKindChecked(int32_t kind, bool on) {
  if (auto it = kindItems_.find(kind); it != kindItems_.end()) it->second->setChecked(on);
  if (auto it = kindKeys_.find(kind); it != kindKeys_.end()) toolButtons_[it->second]->setChecked(on);
}

void FSismora::SetGraphKind(int32_t kind, bool force) {
  if (!force && kind == currentKind_ && (kind != kReportKind || reportPage_ == session_.reportState)) return;
  SetKindChecked(currentKind_, false);
  SetKindChecked(kind, true);
  DrawScreen(kind, kind == kReportKind ? reportPage_ : -1);
  ShowStatusMessage(Str(7100 + kind));
  currentKind_ = kind;
  UpdateTimeButtons();
  picView_->update();
}

void FSismora::UpdateTimeButtons() {
  const bool on = controlsEnabled_ && session_.timeAxisActive;
  for (const char* key : {"left", "right", "enlarge", "reduce"}) toolButtons_[key]->setEnabled(on);
  const bool peak = controlsEnabled_ && !(currentKind_ == 6 || currentKind_ == 16 || currentKind_ == 19 ||
                                          currentKind_ == kReportKind);
  toolButtons_["peak"]->setEnabled(peak && CommandAvailable("peak"));
}

TimeWindow FSismora::CurrentTimeWindow() const {
  const AxisSettings& t = app_.graph.Axis[AxisTime];
  return {t.Min, t.Max};
}

void FSismora::SetTimeWindow(const TimeWindow& w) {
  AxisSettings& t = app_.graph.Axis[AxisTime];
  t.Min = static_cast<float>(w.lo);
  t.Max = static_cast<float>(w.hi);
  session_.viewChanges |= RecalcTimeAxis;
}

void FSismora::ShiftTime(double f) {
  if (!session_.timeAxisActive) return;
  const auto w =
      ShiftTimeWindow(CurrentTimeWindow(), f, RecordSeconds(app_.record.DataCount, app_.record.SampFreq));
  if (!w) return;
  SetTimeWindow(*w);
  Redraw();
}

void FSismora::ZoomTime(double f) {
  if (!session_.timeAxisActive) return;
  const auto w = ZoomTimeWindow(CurrentTimeWindow(), f);
  if (!w) return;
  SetTimeWindow(*w);
  Redraw();
}

void FSismora::SetZoom(int index) {
  if (index < 0 || index >= kZoomSteps || index == zoomIndex_) return;
  if (QAction* zoom = toolButtons_["zoom"])
    zoom->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(Q(ZoomImageName(index)))));
  if (zoomIndex_ >= 0) zoomItems_[static_cast<size_t>(zoomIndex_)]->setChecked(false);
  zoomItems_[static_cast<size_t>(index)]->setChecked(true);
  zoomIndex_ = index;
  session_.zoom = static_cast<float>(kZoomPercent[static_cast<size_t>(index)]) / 100.0f;
  Redraw();
}

void FSismora::Redraw() {
  if (currentKind_ <= 0 || !controlsEnabled_) return;
  DrawScreen(currentKind_, currentKind_ == kReportKind ? reportPage_ : -1);
  UpdateTimeButtons();
}

void FSismora::DrawScreen(int32_t kind, int32_t reportSelector) {
  if (kind <= 0 || app_.record.ChanCount <= 0) return;
  try {
    DrawGraph(app_, session_, *this, *this, TargetScreen, kind, reportSelector);
  } catch (const std::exception& e) {
    EndPicture();
    const ErrorInfo info = CurrentErrorInfo(e);
    MsgBox("Err#" + std::to_string(info.number) + ": " + info.description, MsgIcon::Critical,
           "DrawGraph - " + ProgramTitle());
  }
  EndPicture();
}

void FSismora::EndPicture() {
  if (!pictureActive_) return;
  picture_->End();
  pictureActive_ = false;
  pictureShown_ = true;
  picView_->SetImage(picture_->Image());
  picView_->update();
}

void FSismora::ClearPicture() {
  EndPicture();
  pictureShown_ = false;
  picView_->ClearImage();
  picView_->update();
}

void FSismora::ApplyTwoChannelViews(bool enabled) {
  twoChannelViews_ = enabled;
  const bool on = enabled && controlsEnabled_;
  menuOrbit_->menuAction()->setEnabled(on);
  menuRel_->menuAction()->setEnabled(on);
  for (int32_t k = 12; k <= 20; ++k) kindItems_[k]->setEnabled(on && KindDrawable(k));
  toolButtons_["orbit"]->setEnabled(on && KindDrawable(14));
  toolButtons_["rel"]->setEnabled(on && KindDrawable(15));
}

void FSismora::EnableControls(bool enabled) {
  controlsEnabled_ = enabled;
  picView_->setEnabled(enabled);
  for (const char* name : {"mnuFileAppend", "mnuFileSaveAc", "mnuFileExport", "mnuFilePrint",
                           "mnuFileSaveImage", "mnuToolParam"}) {
    if (QAction* a = findChild<QAction*>(name)) a->setEnabled(enabled && CommandAvailable(name));
  }
  menuEdit_->menuAction()->setEnabled(enabled);
  menuView_->menuAction()->setEnabled(enabled);
  for (QAction* a : menuView_->actions())
    if (a->menu() == nullptr) a->setEnabled(enabled && CommandAvailable(a->objectName().toStdString()));
  for (const char* key :
       {"append", "print", "copy", "acc",  "vel",   "disp",    "four",   "pow",  "auto", "resp",
        "orbit",  "rel",   "rep",  "left", "right", "enlarge", "reduce", "zoom", "prop", "peak"})
    toolButtons_[key]->setEnabled(enabled && CommandAvailable(key));
  for (const char* key : {"open", "opt", "calc", "close"})
    toolButtons_[key]->setEnabled(CommandAvailable(key));
  for (const char* name : {"mnuViewPeak", "mnuViewProp", "mnuViewOption"})
    if (QAction* a = findChild<QAction*>(name)) a->setEnabled(CommandAvailable(name) && enabled);
  // Kinds whose painters are not written yet stay disabled.
  for (auto& [kind, a] : kindItems_) a->setEnabled(enabled && KindDrawable(kind));
  for (auto& [kind, key] : kindKeys_) toolButtons_[key]->setEnabled(enabled && KindDrawable(kind));
  if (enabled) {
    ApplyTwoChannelViews(twoChannelViews_);
    UpdateTimeButtons();
  } else {
    ClearPicture();
    setWindowTitle(Q(ProgramTitle()));
    SetKindChecked(currentKind_, false);
    currentKind_ = 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Recent files and the channel menu

void FSismora::AddRecentFile(const std::string& path) {
  if (!FileExists(path)) return;
  EnableControls(true);
  if (AddRecentPath(paths_.RecentFile, path)) RefreshRecentMenu();
}

void FSismora::RefreshRecentMenu() {
  const int shown = RecentShownCount(paths_.RecentFile);
  for (int i = 0; i < kRecentCount; ++i) {
    QAction* a = recentItems_[static_cast<size_t>(i)];
    const bool visible = i < shown;
    const QString path = Q(paths_.RecentFile[static_cast<size_t>(i + 1)]);
    a->setData(path);
    // A literal "&" in a path is not an access key.
    QString caption = path;
    a->setText(caption.replace('&', QStringLiteral("&&")));
    a->setVisible(visible);
  }
  recentSeparator_->setVisible(shown > 0);
}

void FSismora::RebuildChannelMenu() {
  for (QAction* a : channelItems_) {
    menuChannel_->removeAction(a);
    a->deleteLater();
  }
  channelItems_.clear();
  const int groups = ChannelGroupCount(app_.record.ChanCount);
  for (int s = 0; s < groups; ++s) {
    auto* a = new QAction(Q(ChannelGroupCaption(s, app_.record.ChanCount)), this);
    a->setObjectName(QStringLiteral("mnuViewRepPage%1").arg(s));
    a->setEnabled(KindDrawable(kReportKind));
    connect(a, &QAction::triggered, this, [this, s] {
      previousReportPage_ = reportPage_;
      reportPage_ = s;
      SetGraphKind(kReportKind, false);
    });
    menuChannel_->addAction(a);
    channelItems_.push_back(a);
  }
  menuChannel_->menuAction()->setEnabled(groups > 0);
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
      SetZoom(zoomIndex_ + static_cast<int>(c.value));
      break;
    case KeyCommandKind::CopySummary:
      QApplication::clipboard()->setText(panelParams_->text());
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

// ---------------------------------------------------------------------------------------------
// Output

bool FSismora::PrintTo(QPagedPaintDevice& device) {
  if (currentKind_ <= 0) return false;
  printDevice_ = &device;
  bool ok = true;
  try {
    DrawGraph(app_, session_, *this, *this, TargetPrinter, currentKind_,
              currentKind_ == kReportKind ? reportPage_ : -1);
  } catch (const std::exception& e) {
    ok = false;
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Print - " + ProgramTitle());
  }
  printDevice_ = nullptr;
  return ok;
}

void FSismora::PrintCommand() {
  if (currentKind_ <= 0) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintTo(printer);
}

std::unique_ptr<PrintDocument> FSismora::StartPrintDocument(const std::string& name, DeviceContext*) {
  if (printDevice_ != nullptr) {
    if (auto* printer = dynamic_cast<QPrinter*>(printDevice_)) printer->setDocName(Q(name));
    return QtPrintDocument::Start(*printDevice_);
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(Q(name));
  if (!printer.isValid()) return nullptr;
  // The document must outlive this call: only a chosen device is used.
  return nullptr;
}

void FSismora::SaveImageCommand() {
  if (!pictureShown_) return;
  const std::vector<std::string> parts = Split(kImageFilter, "|");
  QStringList filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) filters << Q(parts[i]).replace("(", " (");
  QFileDialog dialog(this, QStr(1170).remove('&').remove("..."), Q(paths_.LastFolderImage));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(Q(std::string(kImageDefaultExt).substr(1)));
  // The overwrite question is our own.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    dialog.setDefaultSuffix(filter.contains(QStringLiteral("bmp")) ? QStringLiteral("bmp")
                                                                   : QStringLiteral("png"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = PathOf(dialog.selectedFiles().first());
  paths_.LastFolderImage = SplitPath(path).folder;
  SaveImage(path);
}

bool FSismora::SaveImage(const std::string& path) {
  if (!pictureShown_ || picture_->Image().isNull()) return false;
  if (!ConfirmImageOverwrite(path, *this)) return false;
  std::string error;
  if (!WriteImageFile(picture_->Image(), path, ImageFormatFor(path), error)) {
    MsgBox("Failed to write " + path + " (" + error + ")", MsgIcon::Critical,
           "SaveImage - " + ProgramTitle());
    return false;
  }
  return true;
}

bool FSismora::ConfirmOverwrite(const std::string& path) {
  return !FileExists(path) || AskYesNo(OverwriteQuestion(path), ProgramTitle());
}

void FSismora::SaveAcCommand() {
  if (app_.record.ChanCount < 1) return;
  const std::vector<std::string> filter = Split(Str(8140), "|");
  QFileDialog dialog(this, QStr(8142), Q(paths_.LastFolderSave));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(Q(filter.empty() ? std::string() : filter[0]));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);  // the question is our own
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveAcTo(PathOf(dialog.selectedFiles().first()));
}

bool FSismora::SaveAcTo(const std::string& chosen) {
  const std::string path = SaveAcFileName(chosen);
  if (!ConfirmOverwrite(path)) return false;
  paths_.LastFolderSave = SplitPath(path).folder;
  return SaveRecordAsAc(app_, path, *this);
}

void FSismora::ExportCommand(int32_t kind) {
  if (app_.record.ChanCount < 1) return;
  const std::vector<std::string> parts = Split(Str(8130), "|");
  QStringList filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) filters << Q(parts[i]);
  QFileDialog dialog(this, Q(ExportDialogTitle(kind)), Q(paths_.LastFolderSave));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  if (exportFilterIndex_ >= 1 && exportFilterIndex_ <= filters.size())
    dialog.selectNameFilter(filters[exportFilterIndex_ - 1]);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const int32_t index = static_cast<int32_t>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  ExportTo(kind, PathOf(dialog.selectedFiles().first()), std::max(index, 1));
}

bool FSismora::ExportTo(int32_t kind, const std::string& chosen, int32_t filterIndex) {
  exportFilterIndex_ = filterIndex;
  const std::string path = ExportFileName(chosen, filterIndex);
  if (!ConfirmOverwrite(path)) return false;
  paths_.LastFolderSave = SplitPath(path).folder;
  try {
    return ExportSeries(app_, kind, path, filterIndex, *this);
  } catch (const std::exception& e) {
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Export - " + ProgramTitle());
    return false;
  }
}

FTextViewer& FSismora::TextViewer() {
  if (!textViewer_) textViewer_ = new FTextViewer(this);
  return *textViewer_;
}

void FSismora::PropertiesCommand() {
  if (app_.record.ChanCount < 1) return;
  SetMousePointer(PointerHourglass);
  const std::string text = PropertiesReportText(app_);
  RestoreMousePointer();
  TextViewer().ShowTextViewer(PropertiesReportTitle(), text);
}

void FSismora::PeaksCommand() {
  if (app_.record.ChanCount < 1 || currentKind_ <= 0 || currentKind_ > 20) return;
  try {
    BringSeriesUpToDate(app_, currentKind_, *this);
    IndexWindow window = FullIndexWindow(app_, currentKind_);
    const AxisSettings& time = app_.graph.Axis[AxisTime];
    if (currentKind_ <= 3 || (currentKind_ >= 12 && currentKind_ <= 14))
      window = IndexWindowBetween(app_, currentKind_, time.Min, time.Max);
    TextViewer().ShowTextViewer(Str(1620).empty() ? "Peaks" : QStr(1620).remove('&').toStdString(),
                                PeaksReportText(app_, currentKind_, window));
  } catch (const std::exception& e) {
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Peaks - " + ProgramTitle());
  }
}

void FSismora::CopyCommand() {
  if (currentKind_ <= 0) return;
  try {
    DrawGraph(app_, session_, *this, *this, TargetClipboard, currentKind_,
              currentKind_ == kReportKind ? reportPage_ : -1);
  } catch (const std::exception& e) {
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Copy - " + ProgramTitle());
  }
}

void FSismora::CopyBitmapCommand() {
  if (pictureShown_ && !picture_->Image().isNull()) QApplication::clipboard()->setImage(picture_->Image());
}

int32_t FSismora::ReferencePixelsPerInchX() {
  // The screen's resolution: a printer's would make clipboard bitmaps of hundreds of megabytes.
  const QScreen* s = screen();
  return s != nullptr ? std::max(1, static_cast<int32_t>(std::lround(s->logicalDotsPerInchX()))) : 96;
}

int32_t FSismora::ReferencePixelsPerInchY() {
  const QScreen* s = screen();
  return s != nullptr ? std::max(1, static_cast<int32_t>(std::lround(s->logicalDotsPerInchY()))) : 96;
}

std::unique_ptr<ClipboardPicture> FSismora::StartClipboardPicture(ClipboardFormats formats,
                                                                  int32_t viewportWidth,
                                                                  int32_t viewportHeight, int32_t pageWidth,
                                                                  int32_t pageHeight) {
  // Pages too large for a bitmap are refused instead of exhausting memory.
  if (viewportWidth <= 0 || viewportHeight <= 0 || int64_t{viewportWidth} * viewportHeight > 100'000'000)
    return nullptr;
  return std::make_unique<QtClipboardPicture>(formats, viewportWidth, viewportHeight, pageWidth, pageHeight);
}

// ---------------------------------------------------------------------------------------------
// Screen picture

void FSismora::SetViewArea(int32_t widthTwips, int32_t heightTwips) {
  const int w = std::clamp(PixelsFromTwips(widthTwips), 1, 20000);
  const int h = std::clamp(PixelsFromTwips(heightTwips), 1, 20000);
  picView_->resize(w, h);
}

int32_t FSismora::ViewWidth() {
  return picView_->width();
}

int32_t FSismora::ViewHeight() {
  return picView_->height();
}

DeviceContext* FSismora::ViewDc() {
  EndPicture();
  picture_->Begin(picView_->width(), picView_->height(), 0xFFFFFF);
  pictureActive_ = true;
  return &picture_->Dc();
}

void FSismora::RefreshView() {
  EndPicture();
  picView_->update();
}

// ---------------------------------------------------------------------------------------------
// Record commands

void FSismora::CreateNewChannelCommand() {
  if (app_.record.ChanCount <= 0) return;
  bool added = false;
  try {
    added = CreateNewChannel(app_, *this);
  } catch (const std::exception& e) {
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "CreateNewChannel - " + ProgramTitle());
  }
  if (!added) return;
  app_.view.ViewChanCount = app_.record.ChanCount;
  RebuildChannelMenu();
  ApplyTwoChannelViews(app_.record.ChanCount >= 2);
  if (currentKind_ > 0) SetGraphKind(currentKind_, true);
}

void FSismora::ParameterCommand() {
  if (app_.record.ChanCount <= 0) return;
  if (!EditRecordTexts(app_.record, *this)) return;
  ShowRecordSummary();
  if (currentKind_ > 0) SetGraphKind(currentKind_, true);
}

void FSismora::ShowRecordSummary() {
  ShowStatusParams(sism::StatusParamsText(app_.record));
}

void FSismora::PreprocessCommand() {
  ShowPreProcDialog(app_.preproc);
}

void FSismora::CalculationCommand() {
  FCalc dialog(
      app_.calc,
      [this](CalcDialogModel& model) {
        if (model.Apply(app_.calc)) Redraw();
      },
      paths_.LastFolderSetting, *this, this);
  dialog.exec();
}

void FSismora::OpenDialogByName(const std::string& name) {
  std::vector<std::string> labels;
  for (int32_t ch = 1; ch <= app_.record.ChanCount; ++ch) labels.push_back(app_.record.Label(ch));
  if (name == "preproc") {
    PreprocessCommand();
  } else if (name == "pickchan") {
    std::vector<int32_t> chosen;
    ShowDlgPickChan(labels, chosen);
  } else if (name == "readdata") {
    DataFileParams params;
    ShowReadDataDialog(DataFileKind::General, app_.record.FilePath, "001:0.1 0.2 0.3\n002:0.4 0.5 0.6",
                       params);
  } else if (name == "param") {
    ParameterCommand();
  } else if (name == "selchan") {
    CreateNewChannelCommand();
  } else if (name == "calc") {
    CalculationCommand();
  } else if (name == "about") {
    AboutCommand();
  }
}

void FSismora::HelpTopics() {
  const std::string file = HelpFileOf(helpReference_);
  if (file.empty()) {
    MsgBox("HelpFile is not available yet.", MsgIcon::Information, ProgramTitle());
    return;
  }
  auto* help = findChild<FHelp*>("fHelp");
  if (help == nullptr) help = new FHelp(this);
  if (!help->ShowPage(Q(file))) MsgBox("Cannot open " + file, MsgIcon::Critical, ProgramTitle());
}

void FSismora::AboutCommand() {
  if (splash_ != nullptr) splash_->ShowAsAbout();
}

// ---------------------------------------------------------------------------------------------
// UserInterface

void FSismora::MsgBox(const std::string& text, MsgIcon icon, const std::string& title) {
  if (messageSink) {
    messageSink(text, icon, title);
    return;
  }
  QMessageBox::Icon qicon = QMessageBox::NoIcon;
  switch (icon) {
    case MsgIcon::Critical:
      qicon = QMessageBox::Critical;
      break;
    case MsgIcon::Question:
      qicon = QMessageBox::Question;
      break;
    case MsgIcon::Exclamation:
      qicon = QMessageBox::Warning;
      break;
    case MsgIcon::Information:
      qicon = QMessageBox::Information;
      break;
    case MsgIcon::None:
      break;
  }
  // A box opened while the hourglass shows gets the normal pointer.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox box(qicon, Q(title), Q(text), QMessageBox::Ok, this);
  box.exec();
  if (busy) QApplication::restoreOverrideCursor();
}

bool FSismora::AskYesNo(const std::string& text, const std::string& title) {
  if (questionSink) return questionSink(text, title);
  return QMessageBox::question(this, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void FSismora::Beep() {
  QApplication::beep();
}

void FSismora::ShowStatusMessage(const std::string& text) {
  savedStatus_ = panelMessage_->text().toStdString();
  panelMessage_->setText(Q(text));
}

void FSismora::RestoreStatusMessage() {
  panelMessage_->setText(Q(savedStatus_));
  savedStatus_.clear();
}

void FSismora::ShowStatusParams(const std::string& text) {
  panelParams_->setText(Q(text));
}

std::string FSismora::StatusMessageText() const {
  return panelMessage_->text().toStdString();
}

std::string FSismora::StatusParamsText() const {
  return panelParams_->text().toStdString();
}

void FSismora::ApplyPointer(int pointer) {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  if (pointer == PointerHourglass) QApplication::setOverrideCursor(Qt::WaitCursor);
  pointer_ = pointer;
}

void FSismora::SetMousePointer(int pointer) {
  savedPointer_ = pointer_;
  ApplyPointer(pointer);
}

void FSismora::RestoreMousePointer() {
  ApplyPointer(savedPointer_);
}

void FSismora::Yield() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool FSismora::ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                                  DataFileParams& params) {
  FReadData dialog(kind, path, preview, params, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  DataFileParams out;
  if (!dialog.Result(out)) return false;
  params = out;
  return true;
}

bool FSismora::ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) {
  FPickChan dialog(labels, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  chosen = dialog.Chosen();
  return !chosen.empty();
}

bool FSismora::ShowPreProcDialog(PreProcParams& params) {
  FPreProc dialog(params, *this, this);
  dialog.exec();
  return dialog.Accepted(params);
}

bool FSismora::ShowDlgSelChan(SelChanMode mode, const std::vector<std::string>& labels,
                              SelChanValues& values) {
  if (selChanSink) return selChanSink(mode, labels, values);
  FSelChan dialog(mode, labels, values, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  return dialog.Values(values);
}

bool FSismora::SetRecordParam(RecordTexts& texts) {
  if (recordParamSink) return recordParamSink(texts);
  FParam dialog(texts, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  texts = dialog.Texts();
  return true;
}

}  // namespace sism
