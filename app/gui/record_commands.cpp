// The main window's commands on the record: opening, appending and closing files, the
// recent files and the channel menu that follow the record, a new channel, the header
// texts, the preprocessing and calculation settings; also dialogs by name and help.
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

#include "app/gui/calc_window.h"
#include "app/gui/dialogs.h"
#include "app/gui/main_window.h"
#include "app/gui/menus.h"
#include "app/gui/qt_strings.h"
#include "app/gui/review_panel.h"
#include "app/gui/splash.h"
#include "app/shell/open_dialog.h"
#include "app/shell/view_commands.h"
#include "app/shell/process_view.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"
#include "load/new_channel.h"
#include "load/statistics.h"
#include "record/display_text.h"
#include "load/user_side.h"
#include "record/record_texts.h"

namespace sism {

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
    MsgBox(ReadFailureText(path, e), MsgIcon::Critical, "ReadFile - " + ProgramTitle());
    r.noRecord = app_.record.ChanCount == 0;
    r.chanCount = app_.view.ViewChanCount;
    r.twoChannelViews = r.chanCount >= 2;
  }
  ShowRead(r, path, append);
}

void FSismora::ShowRead(const ReadFileResult& r, const std::string& path, bool append, bool recent) {
  // EnableControls(false) forgets the graph kind, so the acceleration view is drawn anew
  // even when it was showing before an append.
  if (r.refresh) {
    EnableControls(false);
    SetGraphKind(1, false);
    if (recent) AddRecentFile(path);
    else EnableControls(true);
    RebuildChannelMenu();
    ApplyTwoChannelViews(r.twoChannelViews);
    setWindowTitle(Q(WindowCaption(files_.CaptionFilePart)));
    if (!append) openedPath_ = path;
    const std::string changed = PreprocessingSummary(app_.preproc);
    if (!changed.empty()) ShowStatusMessage(KindStatusText(app_, app_.view.GraphKind) + "   " + changed);
  } else if (r.noRecord && controlsEnabled_) {
    // A failed open has already cleared the record: show the empty window.
    EnableControls(false);
    RebuildChannelMenu();
  }
  if (review_) review_->ProcessingChanged();
}

void FSismora::ReloadCommand() {
  if (openedPath_.empty() || app_.record.ChanCount <= 0) return;
  const int32_t kind = app_.view.GraphKind;
  ReadFile(openedPath_);
  // The same view again, when the record read still allows it.
  const SeriesSource source = KindInfo(kind).source;
  const bool twoChannels = source == SeriesSource::Orbit || source == SeriesSource::Relation;
  if (kind > 1 && app_.record.ChanCount > 0 && KindDrawable(kind) && (!twoChannels || twoChannelViews_)) {
    SetGraphKind(kind, true);
    const std::string changed = PreprocessingSummary(app_.preproc);
    if (!changed.empty()) ShowStatusMessage(KindStatusText(app_, kind) + "   " + changed);
  }
}

void FSismora::CloseRecord() {
  EnableControls(false);
  ClearRecord(app_.record);
  app_.Durations.clear();
  app_.processed.reset();
  app_.series = ComputedSeries{};
  app_.view.GraphKind = 0;
  app_.view.ViewChanCount = 0;
  files_.CaptionFilePart.clear();
  ClearStatus();
  RebuildChannelMenu();
}

void FSismora::AddRecentFile(const std::string& path) {
  if (!FileExists(path)) return;
  EnableControls(true);
  if (AddRecentPath(paths_.RecentFile, path)) RefreshRecentMenu();
}

void FSismora::RefreshRecentMenu() {
  menus_->ShowRecentFiles(paths_.RecentFile);
}

void FSismora::RebuildChannelMenu() {
  menus_->RebuildChannelMenu(app_.record.ChanCount);
}

void FSismora::CreateNewChannelCommand() {
  if (app_.record.ChanCount <= 0) return;
  bool added = false;
  try {
    added = CreateNewChannel(app_, *this);
  } catch (const std::exception& e) {
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "CreateNewChannel - " + ProgramTitle());
  }
  if (!added) return;
  app_.processed.reset();  // the run no longer describes the record, nor could undo keep the channel
  app_.view.ViewChanCount = app_.record.ChanCount;
  RebuildChannelMenu();
  ApplyTwoChannelViews(app_.record.ChanCount >= 2);
  RefreshGraph();
}

void FSismora::ParameterCommand() {
  if (app_.record.ChanCount <= 0) return;
  if (!EditRecordTexts(app_.record, *this)) return;
  ShowRecordSummary();
  RefreshGraph();
}

void FSismora::ShowRecordSummary() {
  ShowStatusParams(sism::StatusParamsText(app_.record));
}

void FSismora::PreprocessCommand() {
  // The corners are held to the record on screen; before a read there is none to hold to.
  const StrongRecord& rec = app_.record;
  const float nyquist = rec.ChanCount > 0 && rec.SampFreq > 0 ? static_cast<float>(rec.SampFreq) / 2 : 0.0f;
  FPreProc dialog(app_.preproc, *this, this, nyquist);
  dialog.exec();
  dialog.Accepted(app_.preproc);
}

void FSismora::ProcessCommand() {
  if (app_.record.ChanCount <= 0) return;
  std::string outcome;
  try {
    outcome = ProcessShownRecord(app_);
  } catch (const std::exception& e) {
    MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Process - " + ProgramTitle());
    return;
  }
  ShowRecordSummary();
  RefreshGraph();
  ShowStatusMessage(outcome);
  if (review_) review_->ProcessingChanged();
}

void FSismora::UndoProcessCommand() {
  if (!UndoProcessing(app_)) {
    ShowStatusMessage("The record has not been processed.");
    return;
  }
  ShowRecordSummary();
  RefreshGraph();
  ShowStatusMessage("Processing undone");
  if (review_) review_->ProcessingChanged();
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
  const std::vector<std::string> labels = DisplayLabels(app_.record);
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
  } else if (name.size() == 7 && name.rfind("option", 0) == 0) {
    OptionsCommand(name[6] - '0');  // option1 .. option6: the options on that tab
  } else if (name == "viewprop") {
    PropertiesCommand();
  } else if (name == "viewmetrics") {
    MetricsCommand();
  } else if (name == "viewpeak") {
    PeaksCommand();
  } else if (name == "viewhex") {
    RecordFileHexCommand();
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
  if (splash_ != nullptr) splash_->ShowAsAbout(this);
}

}  // namespace sism
