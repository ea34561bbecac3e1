// The main window: the graph picture in a scroll area, the menus and toolbar, the status
// bar, and the commands the rest of the program and the tests call on it. The graph kind
// shown is the program state's view.GraphKind; 0 shows none.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/gui/output_commands.h"
#include "app/gui/pic_view.h"
#include "app/gui/qt_user_interface.h"
#include "app/shell/settings.h"
#include "app/shell/view_commands.h"
#include "draw/draw_graph.h"
#include "load/read_file.h"
#include "state/app_state.h"

class QAction;
class QMenu;
class QPagedPaintDevice;
class QScrollArea;
class QTimer;
class QToolBar;
class QUrl;

namespace sism {

class FOption;
class FSplash;
class GraphMouse;
class FTextViewer;
class MainMenus;
class ReviewPanel;
class ScreenHost;

// The zoom step Page Up (step +1) or Page Down (-1) selects from "Fit to window", whose
// picture is `smaller` to `larger` times the page at 100 %; -1 when no step goes that way.
int ZoomIndexAfterFit(double smaller, double larger, int step);

class FSismora : public QMainWindow, public QtUserInterface {
  Q_OBJECT
 public:
  explicit FSismora(AppState& app, QWidget* parent = nullptr);
  ~FSismora() override;

  // Window creation: texts, placement, folders, recent files, zoom, disabled commands.
  void Load();
  // Stores placement, bars, folders and recent files (the unload).
  void SaveWindowState();

  // Opening files (record_commands.cpp, as are the recent files, the channel menu and
  // the record, tool and help commands below).
  void ReadFile(const std::string& path, bool append = false);
  void OpenRecordDialog(bool append);
  void CloseRecord();
  // The file last opened read again with the current preprocessing, in the same view.
  void ReloadCommand();
  // What follows a read: the acceleration view, the recent files (unless not `recent`), the
  // channel menu, the caption.
  void ShowRead(const ReadFileResult& r, const std::string& path, bool append = false, bool recent = true);
  // File > Review folder... and --review: the review panel beside the graph (review_panel.cpp).
  void ReviewFolderCommand();
  bool OpenReview(const std::string& folder);
  ReviewPanel* Review() const { return review_; }
  // Handles a drop: on the graph the first file is appended, elsewhere opened.
  void DropFiles(const QList<QUrl>& urls, bool onGraph);

  // View.
  void SetGraphKind(int32_t kind, bool force);
  // The current graph drawn again from scratch.
  void RefreshGraph();
  // The report of channel group `page`.
  void ShowReportPage(int32_t page);
  void ShiftTime(double f);
  void ZoomTime(double f);
  void SetZoom(int index);
  // Page Up (+1) and Page Down (-1): from "Fit to window" to the next step larger or smaller
  // than the picture as shown.
  void StepZoom(int step);
  void EnableControls(bool enabled);
  void Redraw();
  // True when graph kind k has a painter.
  bool KindDrawable(int32_t kind) const;

  // Recent files and channel menu.
  void AddRecentFile(const std::string& path);
  void RefreshRecentMenu();
  void RebuildChannelMenu();

  // Output: the work is OutputCommands'.
  bool PrintTo(QPagedPaintDevice& device) { return output_->PrintTo(device, ReportSelector()); }
  void PrintCommand() { output_->Print(ReportSelector()); }
  void SaveImageCommand() { output_->SaveImageAs(); }
  bool SaveImage(const std::string& path, int32_t dpi = 0) { return output_->SaveImage(path, dpi); }
  void SaveAcCommand() { output_->SaveAcAs(); }
  // What the two commands do once the file is chosen (its extension completed).
  bool SaveAcTo(const std::string& chosen) { return output_->SaveAcTo(chosen); }
  bool SaveRecordTo(const std::string& chosen, int32_t filterIndex) {
    return output_->SaveRecordTo(chosen, filterIndex);
  }
  void ExportCommand(int32_t kind) { output_->ExportAs(kind); }
  bool ExportTo(int32_t kind, const std::string& chosen, int32_t filterIndex) {
    return output_->ExportTo(kind, chosen, filterIndex);
  }
  void CopyCommand() { output_->Copy(ReportSelector()); }
  void CopyBitmapCommand() { output_->CopyBitmap(); }
  void PropertiesCommand() { output_->ShowProperties(); }
  void MetricsCommand() { output_->ShowMetrics(); }
  void PeaksCommand() { output_->ShowPeaks(); }
  FTextViewer& TextViewer() { return output_->TextViewer(); }
  // The first bytes of the record's file as a hexadecimal dump.
  void RecordFileHexCommand() { output_->ShowRecordFileHex(); }
  // The options dialog on the tab last used (or on `tab`, 1 to 6); Apply redraws.
  void OptionsCommand(int tab = 0);
  FOption& OptionDialog();

  // Record, tool and help commands.
  void CreateNewChannelCommand();
  void ParameterCommand();
  void PreprocessCommand();
  void CalculationCommand();
  // The automatic processing of the record shown, and putting the record back as it was.
  void ProcessCommand();
  void UndoProcessCommand();
  // Opens a dialog by its short name (preproc, pickchan, readdata, param, selchan, calc, about,
  // option1 to option6) or shows a text report (viewprop, viewpeak, viewhex).
  void OpenDialogByName(const std::string& name);
  void HelpTopics();
  void AboutCommand();
  void SetSplash(FSplash* splash) { splash_ = splash; }
  // The help reference: the help file, "::" and the pop-up text.
  void SetHelpReference(const std::string& reference) { helpReference_ = reference; }

  // What the window shows, for callers and tests.
  int32_t CurrentKind() const { return app_.view.GraphKind; }
  // The report page drawn last (its channel group, from 0).
  int32_t CurrentReportPage() const { return session_.reportState; }
  int ZoomIndex() const { return zoomIndex_; }
  TimeWindow CurrentTimeWindow() const;
  const RecentList& RecentFiles() const { return paths_.RecentFile; }
  const PathSettings& Paths() const { return paths_; }
  PicView* Picture() const { return picView_; }
  QWidget* Background() const;
  QAction* ActionByKey(const std::string& key) const;  // toolbar key or menu name
  QToolBar* ToolBar() const;
  QMenu* ChannelMenu() const;
  const std::vector<QAction*>& RecentActions() const;
  DrawSession& Session() { return session_; }
  AppState& App() { return app_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The report page to draw when the current graph is a report, else -1.
  int32_t ReportSelector() const;
  void UpdateTimeButtons();
  void ApplyTwoChannelViews(bool enabled);
  void DrawScreen(int32_t kind, int32_t reportSelector = -1);
  // The view's size handed to the drawing while the zoom is "Fit to window".
  void UpdateFit();
  void ShowRecordSummary();
  // The fitted picture against the page at 100 %: the smaller and the larger of the
  // two ratios (1 and 1 without a picture).
  std::pair<double, double> FitScales() const;

  AppState& app_;
  DrawSession session_;
  OpenFileState files_;
  PathSettings paths_;
  std::string helpReference_;
  std::string openedPath_;  // the file last opened (not appended)
  FSplash* splash_ = nullptr;

  int32_t reportPage_ = 0, previousReportPage_ = 0;
  int zoomIndex_ = -1;
  bool controlsEnabled_ = true;
  bool twoChannelViews_ = true;

  PicView* picView_ = nullptr;
  QScrollArea* picBack_ = nullptr;
  std::unique_ptr<ScreenHost> screen_;
  std::unique_ptr<MainMenus> menus_;
  std::unique_ptr<OutputCommands> output_;
  std::unique_ptr<GraphMouse> mouse_;
  QTimer* fitTimer_ = nullptr;  // redraws a fitted page once a resize settles
  FOption* options_ = nullptr;  // created on first use, owned by the window
  ReviewPanel* review_ = nullptr;  // created on first use, owned by the window
};

}  // namespace sism
