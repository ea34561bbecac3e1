#include "app/gui/menus.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/gui/localize.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_strings.h"
#include "app/shell/export.h"
#include "draw/draw_graph.h"

namespace sism {

MainMenus::MainMenus(FSismora& window) : window_(window) {
  BuildMenuBar();
  BuildToolBar();
}

QMenu* MainMenus::AddMenu(QMenu* parent, const char* name, int textId) {
  auto* m = parent != nullptr ? parent->addMenu(QString()) : window_.menuBar()->addMenu(QString());
  m->setObjectName(name);
  SetTextId(m, textId);
  return m;
}

QAction* MainMenus::AddItem(QMenu* menu, const char* name, int textId, std::function<void()> run) {
  auto* a = new QAction(&window_);
  a->setObjectName(name);
  SetTextId(a, textId);
  if (run) QObject::connect(a, &QAction::triggered, &window_, [run = std::move(run)] { run(); });
  menu->addAction(a);
  return a;
}

QAction* MainMenus::AddKindItem(QMenu* menu, const GraphKindInfo& info) {
  FSismora* w = &window_;
  const int32_t kind = info.id;
  QAction* a = AddItem(menu, info.menuName, info.menuText, [w, kind] { w->SetGraphKind(kind, false); });
  a->setCheckable(true);
  kindItems_[kind] = a;
  return a;
}

void MainMenus::BuildMenuBar() {
  FSismora* w = &window_;
  // File
  menuFile_ = AddMenu(nullptr, "mnuFile", 1100);
  AddItem(menuFile_, "mnuFileOpen", 1110, [w] {
    w->OpenRecordDialog(false);
  })->setShortcut(QKeySequence::Open);
  AddItem(menuFile_, "mnuFileAppend", 1120, [w] { w->OpenRecordDialog(true); });
  AddItem(menuFile_, "mnuFileReview", 1122, [w] { w->ReviewFolderCommand(); });
  AddItem(menuFile_, "mnuFileReload", 1125, [w] { w->ReloadCommand(); })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  AddItem(menuFile_, "mnuFileClose", 1130, [w] { w->CloseRecord(); })->setShortcut(QKeySequence::Close);
  menuFile_->addSeparator();
  AddItem(menuFile_, "mnuFileSaveAc", 1140, [w] { w->SaveAcCommand(); });
  QMenu* exportMenu = AddMenu(menuFile_, "mnuFileExport", 1150);
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
    AddItem(exportMenu, exportNames[k], 7100 + k, [w, k] { w->ExportCommand(k); });
  }
  menuFile_->addSeparator();
  AddItem(menuFile_, "mnuFilePrint", 1160, [w] { w->PrintCommand(); })->setShortcut(QKeySequence::Print);
  AddItem(menuFile_, "mnuFileSaveImage", 1170, [w] { w->SaveImageCommand(); });
  recentSeparator_ = menuFile_->addSeparator();
  recentSeparator_->setVisible(false);
  for (int i = 0; i < kRecentCount; ++i) {
    auto* a = new QAction(w);
    a->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i));
    a->setVisible(false);
    QObject::connect(a, &QAction::triggered, w, [w, a] { w->ReadFile(PathOf(a->data().toString()), false); });
    menuFile_->addAction(a);
    recentItems_.push_back(a);
  }
  menuFile_->addSeparator();
  AddItem(menuFile_, "mnuFileExit", 1190, [w] { w->close(); })->setShortcut(QKeySequence::Quit);

  // Edit
  menuEdit_ = AddMenu(nullptr, "mnuEdit", 1300);
  AddItem(menuEdit_, "mnuEditCopy", 1310, [w] { w->CopyCommand(); })->setShortcut(QKeySequence::Copy);
  AddItem(menuEdit_, "mnuEditCopyBitmap", 1320, [w] { w->CopyBitmapCommand(); });
  menuEdit_->addSeparator();
  AddItem(menuEdit_, "mnuEditNewChannel", 1330, [w] { w->CreateNewChannelCommand(); });

  // View
  menuView_ = AddMenu(nullptr, "mnuView", 1500);
  // Time histories, then the spectra of each channel, then a submenu per family.
  for (const GraphKindInfo& k : GraphKinds())
    if (k.page == PageForm::Wave) AddKindItem(menuView_, k);
  menuView_->addSeparator();
  for (const GraphKindInfo& k : GraphKinds())
    if (k.source == SeriesSource::Fourier || k.source == SeriesSource::AutoCorr) AddKindItem(menuView_, k);
  AddKindItem(menuView_, KindInfo(KindEas));
  AddKindItem(menuView_, KindInfo(KindSnr));
  const std::pair<SeriesSource, QMenu**> families[] = {
      {SeriesSource::Response, &menuResp_}, {SeriesSource::Orbit, &menuOrbit_}, {SeriesSource::Relation, &menuRel_}};
  const std::pair<const char*, int> familyMenus[] = {{"mnuViewResp", 1570}, {"mnuViewOrbit", 1580}, {"mnuViewRel", 1584}};
  for (std::size_t f = 0; f < std::size(families); ++f) {
    QMenu*& menu = *families[f].second;
    menu = AddMenu(menuView_, familyMenus[f].first, familyMenus[f].second);
    for (const GraphKindInfo& k : GraphKinds())
      if (k.source == families[f].first) AddKindItem(menu, k);
  }
  AddKindItem(menuResp_, KindInfo(KindDuctility));
  menuChannel_ = AddMenu(menuView_, "mnuViewChannel", 1592);
  menuView_->addSeparator();
  menuTime_ = AddMenu(menuView_, "mnuViewTime", 1600);
  // The keys are the window's own (its key table); the menu only names them.
  SetKeyHint(AddItem(menuTime_, "mnuViewTimeBack", 1602, [w] { w->ShiftTime(-0.5); }), "Left");
  SetKeyHint(AddItem(menuTime_, "mnuViewTimeForward", 1604, [w] { w->ShiftTime(0.5); }), "Right");
  SetKeyHint(AddItem(menuTime_, "mnuViewTimeEnlarge", 1606, [w] { w->ZoomTime(0.5); }), "Up");
  SetKeyHint(AddItem(menuTime_, "mnuViewTimeReduce", 1608, [w] { w->ZoomTime(2); }), "Down");
  menuZoom_ = AddMenu(menuView_, "mnuViewZoom", 1610);
  for (int i = 0; i < kZoomChoices; ++i) {
    QAction* a = AddItem(menuZoom_, "", 1611 + i, [w, i] { w->SetZoom(i); });
    a->setObjectName(QStringLiteral("mnuViewZoom%1").arg(i));
    a->setCheckable(true);
    zoomItems_.push_back(a);
  }
  menuView_->addSeparator();
  AddItem(menuView_, "mnuViewPeak", 1620, [w] { w->PeaksCommand(); });
  AddItem(menuView_, "mnuViewProp", 1630, [w] { w->PropertiesCommand(); });
  AddItem(menuView_, "mnuViewMetrics", 1635, [w] { w->MetricsCommand(); });
  AddItem(menuView_, "mnuViewOption", 1640, [w] { w->OptionsCommand(); });
  AddItem(menuView_, "mnuViewRefresh", 1650, [w] { w->RefreshGraph(); })->setShortcut(QKeySequence::Refresh);
  QAction* ownScales = AddItem(menuView_, "mnuViewOwnScales", 1680, nullptr);
  ownScales->setCheckable(true);
  QObject::connect(ownScales, &QAction::toggled, w, [w](bool on) {
    w->App().run.OwnScales = on;
    w->Redraw();
  });
  menuView_->addSeparator();
  actToolBar_ =
      AddItem(menuView_, "mnuViewToolBar", 1660, [this] { toolBar_->setVisible(actToolBar_->isChecked()); });
  actToolBar_->setCheckable(true);
  actToolBar_->setChecked(true);
  actStatusBar_ = AddItem(menuView_, "mnuViewStatusBar", 1670,
                          [this, w] { w->statusBar()->setVisible(actStatusBar_->isChecked()); });
  actStatusBar_->setCheckable(true);
  actStatusBar_->setChecked(true);

  // Tool
  menuTool_ = AddMenu(nullptr, "mnuTool", 1700);
  AddItem(menuTool_, "mnuToolPreProc", 1710, [w] { w->PreprocessCommand(); });
  AddItem(menuTool_, "mnuToolCalc", 1720, [w] { w->CalculationCommand(); });
  AddItem(menuTool_, "mnuToolParam", 1730, [w] { w->ParameterCommand(); });
  AddItem(menuTool_, "mnuToolProcess", 1760, [w] { w->ProcessCommand(); });
  AddItem(menuTool_, "mnuToolUndoProcess", 1770, [w] { w->UndoProcessCommand(); });
  AddItem(menuTool_, "mnuToolOption", 1640, [w] { w->OptionsCommand(); });
  AddItem(menuTool_, "mnuToolEvent", 1740, nullptr)->setVisible(false);
  AddItem(menuTool_, "mnuToolDatabase", 1750, nullptr)->setVisible(false);

  // Help
  menuHelp_ = AddMenu(nullptr, "mnuHelp", 1900);
  AddItem(menuHelp_, "mnuHelpTopics", 1910, [w] {
    w->HelpTopics();
  })->setShortcut(QKeySequence::HelpContents);
  menuHelp_->addSeparator();
  AddItem(menuHelp_, "mnuHelpAbout", 1990, [w] { w->AboutCommand(); });
}

QAction* MainMenus::AddButton(const char* key, int tipId, const char* theme, std::function<void()> run) {
  const QString file = QStringLiteral(":/icons/%1.svg").arg(std::string(key) == "zoom" ? "zoom100" : key);
  QIcon icon = theme != nullptr ? QIcon::fromTheme(theme, QIcon(file)) : QIcon(file);
  auto* a = toolBar_->addAction(icon, QString());
  a->setObjectName(key);
  SetTipId(a, tipId);
  SetTextId(a, tipId);
  if (run) QObject::connect(a, &QAction::triggered, &window_, [run = std::move(run)] { run(); });
  toolButtons_[key] = a;
  return a;
}

void MainMenus::BuildToolBar() {
  FSismora* w = &window_;
  toolBar_ = window_.addToolBar(QString());
  toolBar_->setObjectName("Toolbar");
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(24, 24));
  toolBar_->setFocusPolicy(Qt::NoFocus);
  AddButton("open", 5102, "document-open", [w] { w->OpenRecordDialog(false); });
  AddButton("append", 5103, nullptr, [w] { w->OpenRecordDialog(true); });
  AddButton("print", 5104, "document-print", [w] { w->PrintCommand(); });
  AddButton("copy", 5105, "edit-copy", [w] { w->CopyCommand(); });
  toolBar_->addSeparator();
  int tip = 5106;
  for (const GraphKindInfo& k : GraphKinds()) {
    if (k.toolKey == nullptr) continue;
    const int32_t kind = k.id;
    QAction* a = AddButton(k.toolKey, tip++, nullptr, [w, kind] { w->SetGraphKind(kind, false); });
    a->setCheckable(true);
    kindKeys_[kind] = k.toolKey;
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
  AddButton("left", 5116, nullptr, [w] { w->ShiftTime(-0.5); });
  AddButton("right", 5117, nullptr, [w] { w->ShiftTime(0.5); });
  AddButton("enlarge", 5118, nullptr, [w] { w->ZoomTime(0.5); });
  AddButton("reduce", 5119, nullptr, [w] { w->ZoomTime(2); });
  AddButton("zoom", 5120, nullptr, nullptr);
  dropDown("zoom", menuZoom_, QToolButton::InstantPopup);
  toolBar_->addSeparator();
  AddButton("peak", 5121, nullptr, [w] { w->PeaksCommand(); });
  AddButton("prop", 5122, nullptr, [w] { w->PropertiesCommand(); });
  AddButton("opt", 5123, nullptr, [w] { w->OptionsCommand(); });
  AddButton("calc", 5124, nullptr, [w] { w->CalculationCommand(); });
  toolBar_->addSeparator();
  AddButton("close", 5130, nullptr, [w] { w->close(); });
  for (auto& [key, a] : toolButtons_) a->setProperty("key", Q(key));
}

QAction* MainMenus::ActionByKey(const std::string& key) const {
  auto it = toolButtons_.find(key);
  if (it != toolButtons_.end()) return it->second;
  if (auto* a = window_.findChild<QAction*>(Q(key))) return a;
  // A submenu stands for its item in the parent menu.
  if (auto* m = window_.findChild<QMenu*>(Q(key))) return m->menuAction();
  return nullptr;
}

void MainMenus::EnableRecordItems(bool enabled) {
  for (const char* name : {"mnuFileAppend", "mnuFileReload", "mnuFileClose", "mnuFileSaveAc", "mnuFileExport",
                           "mnuFilePrint", "mnuFileSaveImage", "mnuToolParam", "mnuToolProcess",
                           "mnuToolUndoProcess"}) {
    if (QAction* a = window_.findChild<QAction*>(name)) a->setEnabled(enabled);
  }
  menuEdit_->menuAction()->setEnabled(enabled);
  menuView_->menuAction()->setEnabled(enabled);
  for (QAction* a : menuView_->actions())
    if (a->menu() == nullptr) a->setEnabled(enabled);
  for (const char* key :
       {"append", "print", "copy", "acc",  "vel",   "disp",    "four",   "pow",  "auto", "resp",
        "orbit",  "rel",   "rep",  "left", "right", "enlarge", "reduce", "zoom", "prop", "peak"})
    toolButtons_[key]->setEnabled(enabled);
  for (const char* key : {"open", "opt", "calc", "close"}) toolButtons_[key]->setEnabled(true);
  // Kinds whose painters are not written yet stay disabled.
  for (auto& [kind, a] : kindItems_) a->setEnabled(enabled && window_.KindDrawable(kind));
  for (auto& [kind, key] : kindKeys_) toolButtons_[key]->setEnabled(enabled && window_.KindDrawable(kind));
}

void MainMenus::EnableTwoChannelViews(bool on) {
  menuOrbit_->menuAction()->setEnabled(on);
  menuRel_->menuAction()->setEnabled(on);
  for (auto& [kind, a] : kindItems_) {
    const SeriesSource source = KindInfo(kind).source;
    if (source != SeriesSource::Orbit && source != SeriesSource::Relation) continue;
    a->setEnabled(on && window_.KindDrawable(kind));
    if (auto key = kindKeys_.find(kind); key != kindKeys_.end())
      toolButtons_[key->second]->setEnabled(on && window_.KindDrawable(kind));
  }
}

void MainMenus::EnableTimeButtons(bool controlsEnabled, bool timeAxis, int32_t kind) {
  const bool on = controlsEnabled && timeAxis;
  for (const char* key : {"left", "right", "enlarge", "reduce"}) toolButtons_[key]->setEnabled(on);
  const bool peak = controlsEnabled && !(IsGraphKind(kind) && KindInfo(kind).peaks == PeakSearch::None);
  toolButtons_["peak"]->setEnabled(peak);
}

void MainMenus::CheckKind(int32_t kind) {
  for (auto& [k, a] : kindItems_) a->setChecked(k == kind);
  for (auto& [k, key] : kindKeys_) toolButtons_[key]->setChecked(k == kind);
}

void MainMenus::ShowZoom(int previous, int index) {
  if (QAction* zoom = toolButtons_["zoom"])
    zoom->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(Q(ZoomImageName(index)))));
  if (previous >= 0) zoomItems_[static_cast<size_t>(previous)]->setChecked(false);
  zoomItems_[static_cast<size_t>(index)]->setChecked(true);
}

void MainMenus::ShowRecentFiles(const RecentList& recent) {
  const int shown = RecentShownCount(recent);
  for (int i = 0; i < kRecentCount; ++i) {
    QAction* a = recentItems_[static_cast<size_t>(i)];
    const bool visible = i < shown;
    const QString path = Q(recent[static_cast<size_t>(i + 1)]);
    a->setData(path);
    // A literal "&" in a path is not an access key.
    QString caption = path;
    a->setText(caption.replace('&', QStringLiteral("&&")));
    a->setVisible(visible);
  }
  recentSeparator_->setVisible(shown > 0);
}

void MainMenus::RebuildChannelMenu(int32_t chanCount) {
  for (QAction* a : channelItems_) {
    menuChannel_->removeAction(a);
    a->deleteLater();
  }
  channelItems_.clear();
  FSismora* w = &window_;
  const int groups = ChannelGroupCount(chanCount);
  for (int s = 0; s < groups; ++s) {
    auto* a = new QAction(Q(ChannelGroupCaption(s, chanCount)), w);
    a->setObjectName(QStringLiteral("mnuViewRepPage%1").arg(s));
    a->setEnabled(window_.KindDrawable(kReportKind));
    QObject::connect(a, &QAction::triggered, w, [w, s] { w->ShowReportPage(s); });
    menuChannel_->addAction(a);
    channelItems_.push_back(a);
  }
  menuChannel_->menuAction()->setEnabled(groups > 0);
}

}  // namespace sism
