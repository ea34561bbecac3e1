// The main window: menus, toolbar, the graph picture in a scroll area, the two-panel
// status bar, and the late-bound methods the rest of the program calls on it.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "app/shell/settings.h"
#include "app/shell/view_commands.h"
#include "common/ui.h"
#include "draw/draw_graph.h"
#include "load/read_file.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPagedPaintDevice;
class QScrollArea;
class QToolBar;
class QToolButton;
class QUrl;

namespace sism {

class FTextViewer;

class ScreenPicture;
class FSplash;

// The graph picture: shows the last screen drawing, passes file drops to the window.
class PicView : public QWidget {
  Q_OBJECT
 public:
  explicit PicView(QWidget* parent = nullptr);
  // The picture shown; a shared copy, so a drawing in progress never shows half done.
  void SetImage(const QImage& image) { image_ = image; }
  void ClearImage() { image_ = QImage(); }
  std::function<void(const QList<QUrl>&)> onDrop;
  std::function<void(const QPoint&)> onRightClick;

 protected:
  void paintEvent(QPaintEvent*) override;
  void dragEnterEvent(QDragEnterEvent*) override;
  void dragMoveEvent(QDragMoveEvent*) override;
  void dropEvent(QDropEvent*) override;
  void mousePressEvent(QMouseEvent*) override;

 private:
  QImage image_;
};

class FSismora : public QMainWindow, public UserInterface, public DrawHost {
  Q_OBJECT
 public:
  explicit FSismora(AppState& app, QWidget* parent = nullptr);
  ~FSismora() override;

  // Window creation: texts, placement, folders, recent files, zoom, disabled commands.
  void Load();
  // Stores placement, bars, folders and recent files (the unload).
  void SaveWindowState();

  // Opening files.
  void ReadFile(const std::string& path, bool append = false);
  void OpenRecordDialog(bool append);
  void CloseRecord();

  // View.
  void SetGraphKind(int32_t kind, bool force);
  void ShiftTime(double f);
  void ZoomTime(double f);
  void SetZoom(int index);
  void EnableControls(bool enabled);
  void Redraw();
  // True when graph kind k has a painter.
  bool KindDrawable(int32_t kind) const;

  // Recent files and channel menu.
  void AddRecentFile(const std::string& path);
  void RefreshRecentMenu();
  void RebuildChannelMenu();

  // Output.
  bool PrintTo(QPagedPaintDevice& device);
  void PrintCommand();
  void SaveImageCommand();
  void SaveAcCommand();
  void ExportCommand(int32_t kind);
  // What the two commands do once the file is chosen (the name is completed here).
  bool SaveAcTo(const std::string& chosen);
  bool ExportTo(int32_t kind, const std::string& chosen, int32_t filterIndex);
  void PropertiesCommand();
  void PeaksCommand();
  FTextViewer& TextViewer();
  bool ConfirmOverwrite(const std::string& path);
  bool SaveImage(const std::string& path);
  void CopyCommand();
  void CopyBitmapCommand();

  // Record commands.
  void CreateNewChannelCommand();
  void ParameterCommand();
  void PreprocessCommand();
  void CalculationCommand();
  // Opens a dialog by its short name (preproc, pickchan, readdata, param, selchan, calc, about).
  void OpenDialogByName(const std::string& name);
  void HelpTopics();
  void AboutCommand();
  void SetSplash(FSplash* splash) { splash_ = splash; }
  // The help reference: the help file, "::" and the pop-up text.
  void SetHelpReference(const std::string& reference) { helpReference_ = reference; }

  // What the window shows, for callers and tests.
  int32_t CurrentKind() const { return currentKind_; }
  int ZoomIndex() const { return zoomIndex_; }
  TimeWindow CurrentTimeWindow() const;
  std::string StatusMessageText() const;
  std::string StatusParamsText() const;
  const RecentList& RecentFiles() const { return paths_.RecentFile; }
  const PathSettings& Paths() const { return paths_; }
  PicView* Picture() const { return picView_; }
  QWidget* Background() const;
  QAction* ActionByKey(const std::string& key) const;  // toolbar key or menu name
  QToolBar* ToolBar() const { return toolBar_; }
  DrawSession& Session() { return session_; }
  AppState& App() { return app_; }
  QMenu* ChannelMenu() const { return menuChannel_; }
  const std::vector<QAction*>& RecentActions() const { return recentItems_; }

  // Handles a drop: on the graph the first file is appended, elsewhere opened.
  void DropFiles(const QList<QUrl>& urls, bool onGraph);

  // Tests answer messages and questions here instead of modal boxes.
  std::function<void(const std::string&, MsgIcon, const std::string&)> messageSink;
  std::function<bool(const std::string&, const std::string&)> questionSink;
  // ... and the channel-selection and record-parameter dialogs.
  std::function<bool(SelChanMode, const std::vector<std::string>&, SelChanValues&)> selChanSink;
  std::function<bool(RecordTexts&)> recordParamSink;

  // UserInterface.
  void MsgBox(const std::string& text, MsgIcon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void Beep() override;
  void ShowStatusMessage(const std::string& text) override;
  void RestoreStatusMessage() override;
  void ShowStatusParams(const std::string& text) override;
  void SetMousePointer(int pointer) override;
  void RestoreMousePointer() override;
  void Yield() override;
  bool ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                          DataFileParams& params) override;
  bool ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) override;
  bool ShowPreProcDialog(PreProcParams& params) override;
  bool ShowDlgSelChan(SelChanMode mode, const std::vector<std::string>& labels,
                      SelChanValues& values) override;
  bool SetRecordParam(RecordTexts& texts) override;

  // DrawHost.
  void SetViewArea(int32_t widthTwips, int32_t heightTwips) override;
  int32_t ViewWidth() override;
  int32_t ViewHeight() override;
  DeviceContext* ViewDc() override;
  void RefreshView() override;
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string& name, DeviceContext* printer) override;
  int32_t ReferencePixelsPerInchX() override;
  int32_t ReferencePixelsPerInchY() override;
  int32_t ScreenTwipsPerPixelX() override { return kTwipsPerPixel; }
  int32_t ScreenTwipsPerPixelY() override { return kTwipsPerPixel; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats formats, int32_t viewportWidth,
                                                          int32_t viewportHeight, int32_t pageWidth,
                                                          int32_t pageHeight) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int32_t exportFilterIndex_ = 1;      // remembered between exports, never stored
  FTextViewer* textViewer_ = nullptr;  // created on first use, owned as a child
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  QAction* AddItem(QMenu* menu, const char* name, int textId, std::function<void()> run);
  QAction* AddKindItem(QMenu* menu, const char* name, int32_t kind);
  void SetKindChecked(int32_t kind, bool on);
  void UpdateTimeButtons();
  void ApplyTwoChannelViews(bool enabled);
  void ApplyPointer(int pointer);
  void DrawScreen(int32_t kind, int32_t reportSelector = -1);
  void EndPicture();
  void ClearPicture();
  void SetTimeWindow(const TimeWindow& w);
  void ShowRecordSummary();
  void ShowPopup(QMenu* menu);

  AppState& app_;
  DrawSession session_;
  OpenFileState files_;
  PathSettings paths_;
  std::string helpReference_;
  FSplash* splash_ = nullptr;

  int32_t currentKind_ = 0;
  int32_t reportPage_ = 0, previousReportPage_ = 0;
  int zoomIndex_ = -1;
  bool controlsEnabled_ = true;
  bool twoChannelViews_ = true;

  std::string savedStatus_;
  int pointer_ = PointerDefault, savedPointer_ = PointerDefault;

  std::unique_ptr<ScreenPicture> picture_;
  bool pictureActive_ = false;
  bool pictureShown_ = false;
  QPagedPaintDevice* printDevice_ = nullptr;

  PicView* picView_ = nullptr;
  QScrollArea* picBack_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* panelMessage_ = nullptr;
  QLabel* panelParams_ = nullptr;
  QMenu *menuFile_ = nullptr, *menuEdit_ = nullptr, *menuView_ = nullptr, *menuTool_ = nullptr,
        *menuHelp_ = nullptr;
  QMenu *menuResp_ = nullptr, *menuOrbit_ = nullptr, *menuRel_ = nullptr, *menuChannel_ = nullptr,
        *menuTime_ = nullptr, *menuZoom_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  std::vector<QAction*> recentItems_;
  std::vector<QAction*> channelItems_;
  std::map<int32_t, QAction*> kindItems_;        // View menu item of each kind
  std::map<std::string, QAction*> toolButtons_;  // toolbar key -> action
  std::map<int32_t, std::string> kindKeys_;      // kind -> toolbar key
  std::vector<QAction*> zoomItems_;
  QAction *actToolBar_ = nullptr, *actStatusBar_ = nullptr;
};

}  // namespace sism
