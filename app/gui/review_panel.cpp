#include "app/gui/review_panel.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <filesystem>
#include <sstream>

#include "app/gui/main_window.h"
#include "app/gui/qt_strings.h"
#include "app/gui/snr_view.h"
#include "app/shell/console_ui.h"
#include "app/shell/process_archive.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "load/statistics.h"
#include "record/display_text.h"

namespace sism {

// The review list as Qt's table sees it.
class ReviewModel : public QAbstractTableModel {
 public:
  explicit ReviewModel(ReviewList& list, QObject* parent) : QAbstractTableModel(parent), list_(list) {}
  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : list_.Count(); }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : ReviewList::ColumnCount; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const auto col = static_cast<ReviewList::Column>(index.column());
    if (role == Qt::DisplayRole) return Q(list_.Text(index.row(), col));
    if (role == Qt::TextAlignmentRole && col == ReviewList::ColPga)
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && col == ReviewList::ColStatus) {
      const ReviewStatus s = list_.Row(index.row()).status;
      if (s == ReviewStatus::Rejected) return QColor(180, 0, 0);
      if (s == ReviewStatus::Warnings) return QColor(170, 110, 0);
      if (s == ReviewStatus::Passed) return QColor(0, 120, 0);
    }
    if (role == Qt::ToolTipRole) return Q(list_.Row(index.row()).path);
    return {};
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Vertical) return section + 1;
    return Q(ReviewList::ColumnName(static_cast<ReviewList::Column>(section)));
  }
  void sort(int column, Qt::SortOrder order) override {
    if (column < 0 || column >= ReviewList::ColumnCount) return;
    beginResetModel();
    list_.SortBy(static_cast<ReviewList::Column>(column), order == Qt::AscendingOrder);
    endResetModel();
  }
  void Changed() {
    beginResetModel();
    endResetModel();
  }
  void LineChanged(int line) { emit dataChanged(index(line, 0), index(line, ReviewList::ColumnCount - 1)); }

 private:
  ReviewList& list_;
};

namespace {

const char* const kReasons[] = {"",
                                "low signal-to-noise ratio",
                                "clipped",
                                "instrument or timing problem",
                                "baseline not corrected",
                                "not an earthquake",
                                "duplicate record"};

}  // namespace

ReviewPanel::ReviewPanel(FSismora& window) : QDockWidget(&window), window_(window) {
  setObjectName("dockReview");
  setWindowTitle("Review");
  auto* body = new QWidget(this);
  auto* v = new QVBoxLayout(body);
  filter_ = new QComboBox(body);
  filter_->setObjectName("cboReviewFilter");
  filter_->addItems({"All records", "Passed", "Warnings", "Rejected"});
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("Show:", body));
  top->addWidget(filter_, 1);
  v->addLayout(top);
  survey_ = new QLabel(body);
  survey_->setObjectName("lblReviewSurvey");
  survey_->hide();
  v->addWidget(survey_);
  model_ = new ReviewModel(list_, this);
  table_ = new QTableView(body);
  table_->setObjectName("lstReview");
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSortingEnabled(true);
  table_->horizontalHeader()->setSortIndicatorShown(true);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->installEventFilter(this);
  v->addWidget(table_, 1);

  auto* moves = new QHBoxLayout;
  auto button = [&](const char* name, const char* text, auto run) {
    auto* b = new QPushButton(text, body);
    b->setObjectName(name);
    connect(b, &QPushButton::clicked, this, run);
    return b;
  };
  moves->addWidget(button("cmdReviewPrevious", "< Previous (P)", [this] { Previous(); }));
  moves->addWidget(button("cmdReviewNext", "Next (N) >", [this] { Next(); }));
  v->addLayout(moves);

  reason_ = new QComboBox(body);
  reason_->setObjectName("cboReviewReason");
  reason_->setEditable(true);
  for (const char* r : kReasons) reason_->addItem(r);
  auto* decide = new QGridLayout;
  decide->addWidget(new QLabel("Reason:", body), 0, 0);
  decide->addWidget(reason_, 0, 1, 1, 3);
  decide->addWidget(button("cmdReviewAccept", "Accept", [this] { Accept(); }), 1, 1);
  decide->addWidget(button("cmdReviewReject", "Reject", [this] { Reject(); }), 1, 2);
  decide->addWidget(button("cmdReviewReset", "Reset", [this] { Reset(); }), 1, 3);
  v->addLayout(decide);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Corners (Hz)", body), 0, 0);
  grid->addWidget(new QLabel("high-pass", body), 0, 1);
  grid->addWidget(new QLabel("low-pass", body), 0, 2);
  const char* names[] = {"H1", "H2", "V"};
  for (int32_t k = 0; k < kReviewComponents; ++k) {
    grid->addWidget(new QLabel(names[k], body), k + 1, 0);
    for (int j = 0; j < 2; ++j) {
      auto* e = new QLineEdit(body);
      e->setObjectName(QString("txtReview%1%2").arg(names[k], j == 0 ? "Fhp" : "Flp"));
      grid->addWidget(e, k + 1, j + 1);
      corners_[k][j] = e;
      connect(e, &QLineEdit::editingFinished, this, [this, k] {
        if (filling_ || list_.Current() < 0) return;
        SetCorners(k, corners_[k][0]->text().toStdString(), corners_[k][1]->text().toStdString());
      });
    }
  }
  v->addLayout(grid);
  info_ = new QLabel(body);
  info_->setObjectName("lblReviewInfo");
  info_->setWordWrap(true);
  v->addWidget(info_);
  setWidget(body);

  connect(filter_, &QComboBox::currentIndexChanged, this, [this](int i) {
    static const std::optional<ReviewStatus> filters[] = {std::nullopt, ReviewStatus::Passed, ReviewStatus::Warnings,
                                                          ReviewStatus::Rejected};
    list_.Filter(filters[std::clamp(i, 0, 3)]);
    model_->Changed();
    if (list_.Current() >= 0) table_->selectRow(list_.Current());
  });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& now, const QModelIndex&) {
            if (!filling_ && now.isValid() && now.row() != list_.Current()) ShowLine(now.row());
          });
  // N and P anywhere in the window; Page Down and Up in the list (the event filter).
  auto* next = new QShortcut(QKeySequence(Qt::Key_N), &window_);
  connect(next, &QShortcut::activated, this, [this] { if (isVisible()) Next(); });
  auto* previous = new QShortcut(QKeySequence(Qt::Key_P), &window_);
  connect(previous, &QShortcut::activated, this, [this] { if (isVisible()) Previous(); });

  // The signal-to-noise graph under the time histories; S puts it away and back, giving
  // the time histories the whole height.
  snr_ = new SnrView(window_);
  snr_->onCornerMoved = [this](const SnrCornerLine& line, float f) { MoveCorner(line, f); };
  auto* toggle = new QShortcut(QKeySequence(Qt::Key_S), &window_);
  connect(toggle, &QShortcut::activated, this, [this] {
    if (isVisible()) snr_->setVisible(!snr_->isVisible());
  });
  connect(snr_, &QDockWidget::visibilityChanged, this, [this](bool shown) {
    if (shown) snr_->Redraw();
  });
}

ReviewPanel::~ReviewPanel() {
  StopSurvey();
  if (worker_.joinable()) worker_.join();
}

void ReviewPanel::ProcessingChanged() {
  snr_->Redraw();
}

void ReviewPanel::StartSurvey() {
  std::vector<ReviewRow> rows = list_.RowsLackingFacts();
  surveyLeft_ = static_cast<int32_t>(rows.size());
  ShowSurveyLeft();
  if (rows.empty()) return;
  std::vector<ReviewEntry> reviews;
  for (const ReviewRow& r : rows) {
    const ReviewEntry* e = list_.File().Current(r.record);
    reviews.push_back(e ? *e : ReviewEntry{});
  }
  stopSurvey_ = false;
  const uint64_t generation = generation_;
  surveyor_ = std::thread([this, settings = Settings(), rows = std::move(rows), reviews = std::move(reviews),
                           generation] {
    for (std::size_t i = 0; i < rows.size() && !stopSurvey_; ++i) {
      // The readers and the chain keep nothing between calls (the tool runs them on several
      // threads at once), so the survey takes no turn with the window: a move never waits on it.
      RowFacts facts;
      const bool process = rows[i].status == ReviewStatus::Unknown;
      const PreparedRecord p = Prepare(settings, rows[i], reviews[i], process);
      if (stopSurvey_) return;
      if (p.ok) facts = FactsOf(p.state.record, p.processing ? &*p.processing : nullptr);
      QMetaObject::invokeMethod(
          this, [this, generation, record = rows[i].record, facts] { Surveyed(generation, record, facts); },
          Qt::QueuedConnection);
    }
  });
}

void ReviewPanel::StopSurvey() {
  stopSurvey_ = true;
  if (surveyor_.joinable()) surveyor_.join();
  surveyLeft_ = 0;
}

void ReviewPanel::WaitForSurvey() {
  if (surveyor_.joinable()) surveyor_.join();
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ReviewPanel::Surveyed(uint64_t generation, const std::string& record, const RowFacts& facts) {
  if (generation != generation_) return;
  surveyLeft_ = std::max(surveyLeft_ - 1, 0);
  Filled(list_.Fill(record, facts));
  ShowSurveyLeft();
}

void ReviewPanel::Filled(int32_t line) {
  if (line == ReviewList::kLinesMoved) {
    filling_ = true;  // the record shown stays shown
    model_->Changed();
    if (list_.Current() >= 0) table_->selectRow(list_.Current());
    filling_ = false;
  } else if (line >= 0) {
    model_->LineChanged(line);
  }
}

void ReviewPanel::ShowSurveyLeft() {
  survey_->setText(QString("Reading and processing in the background: %1 records left").arg(surveyLeft_));
  survey_->setVisible(surveyLeft_ > 0);
}

void ReviewPanel::WaitForPrepared() {
  if (worker_.joinable()) worker_.join();
}

bool ReviewPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_PageDown) return Next(), true;
    if (key == Qt::Key_PageUp) return Previous(), true;
  }
  return QDockWidget::eventFilter(watched, event);
}

void ReviewPanel::Message(const std::string& text) {
  window_.MsgBox(text, MsgIcon::Exclamation, "Review - " + ProgramTitle());
}

bool ReviewPanel::Open(const std::string& folder) {
  StopSurvey();
  WaitForPrepared();
  prepared_.reset();
  std::string problem;
  std::vector<std::string> notes;
  ReviewList list;
  if (!list.Open(folder, problem, &notes)) {
    Message(problem);
    StartSurvey();  // the folder still open goes on
    return false;
  }
  list_ = std::move(list);
  ++generation_;
  model_->Changed();
  filter_->setCurrentIndex(0);
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // the folder's order
  if (!notes.empty()) Message(list_.File().Path() + ":\n" + notes.front() + (notes.size() > 1 ? "\n..." : ""));
  setWindowTitle(Q("Review - " + FileNameOf(std::filesystem::path(folder).lexically_normal().string())));
  show();
  const bool shown = ShowLine(0);
  StartSurvey();
  return shown;
}

AppState ReviewPanel::Settings() const {
  const AppState& app = window_.App();
  AppState s;
  s.graph = app.graph;
  s.calc = app.calc;
  s.preproc = app.preproc;
  s.processing = app.processing;
  s.run = app.run;
  return s;
}

PreparedRecord ReviewPanel::Prepare(const AppState& settings, const ReviewRow& row, const ReviewEntry& review,
                                    bool process) {
  PreparedRecord p;
  p.record = row.record;
  p.state = settings;
  OpenFileState files;
  std::ostringstream log;
  ConsoleUi ui(log);
  // The record as read is processed again when it can be found (which also gives the onset
  // and the spectra); the processed record of the folder is shown as it is otherwise.
  const bool reprocess = process && FileExists(row.source);
  p.path = reprocess ? row.source : row.path;
  try {
    p.read = ReadFile(p.state, files, p.path, false, ui);
    p.ok = p.read.refresh && p.state.record.ChanCount > 0;
    if (p.ok && reprocess) {
      // The record as read is kept, as the window's own processing keeps it, for undo.
      p.before = p.state.record;
      p.durationsBefore = p.state.Durations;
      p.processing = ProcessRecord(p.state.record, p.state.processing, ReviewedCorners(p.state.record, review));
      if (p.processing->processed)
        ComputeLoadStatistics(p.state.record, p.state.Durations, p.state.preproc.RefSensor);
      p.state.series.Invalidate();
    }
  } catch (const std::exception& e) {
    log << e.what();
    p.ok = false;
  }
  p.messages = log.str();
  return p;
}

bool ReviewPanel::ShowLine(int32_t line) {
  if (line < 0 || line >= list_.Count()) return false;
  QElapsedTimer clock;
  clock.start();
  WaitForPrepared();
  list_.Select(line);
  std::unique_ptr<PreparedRecord> ready = std::move(prepared_);
  lastPrepared_ = ready && ready->record == list_.Row(line).record;
  if (!lastPrepared_) {
    std::lock_guard lock(library_);
    ReviewEntry corners;
    corners.corners = list_.EditedCorners();
    ready = std::make_unique<PreparedRecord>(Prepare(Settings(), list_.Row(line), corners));
  }
  filling_ = true;
  table_->selectRow(line);
  filling_ = false;
  Show(std::move(*ready));
  lastShowMs_ = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  info_->setText(info_->text() + QString("\nShown in %1 ms%2").arg(lastShowMs_, 0, 'f', 0).arg(lastPrepared_ ? " (prepared)" : ""));
  PrepareNext();
  return true;
}

void ReviewPanel::PrepareNext() {
  const int32_t next = list_.Current() + 1;
  if (next >= list_.Count()) return;
  const ReviewRow row = list_.Row(next);
  const ReviewEntry* d = list_.Decision(next);
  ReviewEntry corners;
  if (d) corners.corners = d->corners;
  worker_ = std::thread([this, settings = Settings(), row, corners] {
    std::lock_guard lock(library_);
    prepared_ = std::make_unique<PreparedRecord>(Prepare(settings, row, corners));
  });
}

void ReviewPanel::Show(PreparedRecord p) {
  AppState& app = window_.App();
  if (!p.ok) {
    window_.ShowStatusMessage(list_.Row(list_.Current()).record + ": " + TrimSpace(p.messages));
    info_->setText(Q(p.path + " could not be read"));
    return;
  }
  const int32_t kind = app.view.GraphKind;
  std::lock_guard lock(library_);
  app.record = std::move(p.state.record);
  app.Durations = std::move(p.state.Durations);
  app.series = std::move(p.state.series);
  app.series.Invalidate();
  app.view = std::move(p.state.view);
  shown_.processing = std::move(p.processing);
  app.processed.reset();
  if (shown_.processing) {
    // The onset and noise window on the time histories, the spectra on the graph beside.
    ProcessingRun run;
    run.result = *shown_.processing;
    run.before = std::move(p.before);
    run.durationsBefore = std::move(p.durationsBefore);
    app.processed = std::move(run);
  }
  if (list_.Current() >= 0) {
    // A record read here has its outcome (when processed) and its facts in the list from now on.
    Filled(list_.Fill(list_.Row(list_.Current()).record, FactsOf(app.record, Processing())));
  }
  window_.ShowRead(p.read, p.path, false, false);  // a review would push out the recent files
  if (kind > 1 && window_.KindDrawable(kind)) window_.SetGraphKind(kind, true);
  FillFields();
}

void ReviewPanel::FillFields() {
  const int32_t line = list_.Current();
  if (line < 0) return;
  const ReviewRow& row = list_.Row(line);
  const std::array<ReviewCorners, kReviewComponents> edited = list_.EditedCorners();
  const ComponentSet set = FlatfileComponents(window_.App().record);
  const int32_t chans[kReviewComponents] = {set.h1, set.h2, set.v};
  filling_ = true;
  for (std::size_t k = 0; k < kReviewComponents; ++k) {
    const ChannelProcessing* c = Processing() && chans[k] > 0 ? Processing()->Channel(chans[k]) : nullptr;
    const float automatic[2] = {c ? c->highPass : row.corners[k].highPass, c ? c->lowPass : row.corners[k].lowPass};
    const float given[2] = {edited[k].highPass, edited[k].lowPass};
    for (std::size_t j = 0; j < 2; ++j) {
      QLineEdit* e = corners_[k][j];
      e->setText(given[j] > 0 ? Q(NumberText(given[j])) : QString());
      e->setPlaceholderText(automatic[j] > 0 ? QString::number(automatic[j], 'g', 3) : QString());
      e->setEnabled(chans[k] > 0);
    }
  }
  filling_ = false;
  const ReviewEntry* d = list_.Decision(line);
  std::string text = row.record + "\n" + (Processing() ? StatusName(StatusOf(*Processing())) : StatusName(row.status));
  const std::string flags = Processing() ? Processing()->FlagList() : row.flags;
  if (!flags.empty()) text += ": " + flags;
  if (d) text += std::string("\nReview: ") + DecisionName(d->decision) + (d->reason.empty() ? "" : " (" + d->reason + ")") +
                 " by " + d->who + " at " + d->when;
  info_->setText(Q(text));
}

void ReviewPanel::Decided() {
  const int32_t line = list_.Current();
  model_->LineChanged(line);
  FillFields();
}

bool ReviewPanel::Saved(const std::function<void()>& decide) {
  try {
    decide();
  } catch (const std::exception& e) {
    Message(list_.File().Path() + ": " + e.what());
    return false;
  }
  Decided();
  return true;
}

void ReviewPanel::Accept() {
  Saved([this] { list_.Accept(reason_->currentText().toStdString()); });
}

void ReviewPanel::Reject() {
  Saved([this] { list_.Reject(reason_->currentText().toStdString()); });
}

void ReviewPanel::Reset() {
  if (Saved([this] { list_.Reset(); })) ShowLine(list_.Current());
}

QLineEdit* ReviewPanel::CornerField(int32_t component, bool lowPass) const {
  return component >= 0 && component < kReviewComponents ? corners_[component][lowPass ? 1 : 0] : nullptr;
}

bool ReviewPanel::MoveCorner(const SnrCornerLine& line, float frequency) {
  const AppState& app = window_.App();
  const ComponentSet set = FlatfileComponents(app.record);
  const int32_t chans[kReviewComponents] = {set.h1, set.h2, set.v};
  const int32_t k = static_cast<int32_t>(std::find(chans, chans + kReviewComponents, line.ch) - chans);
  if (k >= kReviewComponents || list_.Current() < 0) {
    Message(DisplayLabelOf(app.record, line.ch) + " is not one of the components reviewed");
    return false;
  }
  // The other corner stays where the analyst saw it, not where the chain would now put it.
  const ChannelProcessing* c = app.processed ? app.processed->result.Channel(line.ch) : nullptr;
  const ReviewCorners given = list_.EditedCorners()[static_cast<std::size_t>(k)];
  float hp = given.highPass > 0 ? given.highPass : c ? c->highPass : 0;
  float lp = given.lowPass > 0 ? given.lowPass : c ? c->lowPass : 0;
  (line.lowPass ? lp : hp) = frequency;
  auto text = [](float f) { return f > 0 ? NumberText(f) : std::string(); };
  return SetCorners(k, text(hp), text(lp));
}

bool ReviewPanel::SetCorners(int32_t component, const std::string& highPass, const std::string& lowPass) {
  const std::string t[2] = {TrimSpace(highPass), TrimSpace(lowPass)};
  float f[2] = {0, 0};
  for (int j = 0; j < 2; ++j) {
    if (t[j].empty()) continue;
    if (!IsNumeric(t[j]) || ToDouble(t[j]) <= 0 || ToDouble(t[j]) > 1e4) {
      Message("\"" + t[j] + "\" is not a frequency in Hz");
      return false;
    }
    f[j] = ToSingle(t[j]);
  }
  const std::array<ReviewCorners, kReviewComponents> before = list_.EditedCorners();
  if (before[static_cast<std::size_t>(component)] == (ReviewCorners{f[0], f[1]})) return true;
  bool taken = false;
  if (!Saved([&] { taken = list_.EditCorners(component, f[0], f[1]); })) return false;
  if (!taken) {
    Message("The high-pass corner must lie below the low-pass corner");
    return false;
  }
  // Processed again at once with the corners now standing.
  WaitForPrepared();
  prepared_.reset();
  ShowLine(list_.Current());
  return true;
}

void FSismora::ReviewFolderCommand() {
  const QString folder = QFileDialog::getExistingDirectory(this, "Review folder", Q(Paths().LastFolder));
  if (!folder.isEmpty()) OpenReview(PathOf(folder));
}

bool FSismora::OpenReview(const std::string& folder) {
  if (!review_) {
    review_ = new ReviewPanel(*this);
    // The list the whole height at the left; the time histories with the signal-to-noise
    // graph under them at the right.
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    addDockWidget(Qt::LeftDockWidgetArea, review_);
    addDockWidget(Qt::BottomDockWidgetArea, review_->Snr());
    review_->setMinimumWidth(560);
    resizeDocks({review_->Snr()}, {std::max(height() * 2 / 5, 200)}, Qt::Vertical);
  }
  return review_->Open(folder);
}

}  // namespace sism
