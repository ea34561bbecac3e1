#include "app/gui/option_window.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/gui/localize.h"
#include "app/gui/main_window.h"
#include "app/gui/option_pages.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"

namespace sism {

namespace {

using Model = OptionDialogModel;

QStringList FilterList(const std::string& filter) {
  const std::vector<std::string> parts = Split(filter, "|");
  QStringList out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) out << Q(parts[i]);
  return out;
}

}  // namespace

FOption::FOption(AppState& app, std::function<void()> redraw, std::string& settingFolder, UserInterface& ui,
                 QWidget* parent)
    : QDialog(parent),
      app_(app),
      redraw_(std::move(redraw)),
      settingFolder_(settingFolder),
      ui_(ui),
      model_(app) {
  setObjectName("fOption");
  SetTextId(this, 6000);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabOption");
  // Every tab stays in sight.
  tabs_->setUsesScrollButtons(false);
  pages_ = {new AxisPage(*this), new ComponentPage(*this), new AppearancePage(*this),
            new FormPage(*this), new OrbitPage(*this),     new ReportPage(*this)};
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    SetTextId(pages_[i], 6001 + static_cast<int>(i));
    SetTipId(pages_[i], 6011 + static_cast<int>(i));
    tabs_->addTab(pages_[i], QString());
  }

  auto* cmdDefault = Button(6064, this);
  auto* cmdSave = Button(6065, this);
  auto* cmdLoad = Button(6066, this);
  auto* cmdOk = Button(6061, this);
  auto* cmdCancel = Button(6062, this);
  cmdApply_ = Button(6063, this);
  for (QPushButton* b : {cmdDefault, cmdSave, cmdLoad, cmdCancel, cmdApply_}) b->setAutoDefault(false);
  cmdOk->setDefault(true);
  // The settings-file buttons on the left, as a group of their own.
  auto* files = new QDialogButtonBox(this);
  for (QPushButton* b : {cmdDefault, cmdSave, cmdLoad}) files->addButton(b, QDialogButtonBox::ActionRole);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(cmdOk, QDialogButtonBox::AcceptRole);
  buttons->addButton(cmdCancel, QDialogButtonBox::RejectRole);
  buttons->addButton(cmdApply_, QDialogButtonBox::ApplyRole);
  auto* row = new QHBoxLayout;
  row->addWidget(files);
  row->addStretch();
  row->addWidget(buttons);
  auto* top = new QVBoxLayout(this);
  top->addWidget(tabs_);
  top->addLayout(row);

  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    model_.tab = index + 1;
    Fill();
  });
  connect(cmdApply_, &QPushButton::clicked, this, [this] { DoApply(); });
  connect(cmdOk, &QPushButton::clicked, this, [this] { DoOk(); });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdDefault, &QPushButton::clicked, this, [this] { model_.SaveTo(std::string(), ui_); });
  connect(cmdSave, &QPushButton::clicked, this, [this] { SaveAs(); });
  connect(cmdLoad, &QPushButton::clicked, this, [this] { LoadCommand(); });
  LocalizeForm(this);
  Fill();
}

QLineEdit* FOption::AddField(Model::Field f, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QStringLiteral("txtField%1").arg(static_cast<int>(f)));
  e->installEventFilter(this);
  fields_[f] = e;
  return e;
}

QLineEdit* FOption::FieldEdit(Model::Field f) const {
  auto it = fields_.find(f);
  return it == fields_.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------------------------
// Filling

void FOption::Fill() {
  for (auto& [f, e] : fields_) e->setText(Q(model_.FieldText(f)));
  for (OptionPage* page : pages_) page->Refresh();
  UpdateApply();
}

void FOption::UpdateApply() {
  cmdApply_->setEnabled(model_.ApplyEnabled());
}

// ---------------------------------------------------------------------------------------------
// Fields, Apply, OK

bool FOption::LeaveField(Model::Field f) {
  QLineEdit* e = FieldEdit(f);
  if (e == nullptr) return false;
  const Model::FieldResult r = model_.LeaveField(f, S(e->text()));
  switch (r) {
    case Model::FieldResult::Accepted:
      break;
    case Model::FieldResult::Adjusted:
      ui_.Beep();
      break;
    case Model::FieldResult::NotNumeral: {
      const std::string typed = S(e->text());
      e->setText(Q(model_.FieldText(f)));
      ui_.MsgBox(Str(6903) + "\n" + model_.FieldRefusal(f, typed), MsgIcon::Exclamation, ProgramTitle());
      return false;
    }
    case Model::FieldResult::Refused:
      ui_.Beep();
      ui_.MsgBox(model_.FieldRefusal(f, S(e->text())), MsgIcon::Exclamation, ProgramTitle());
      if (Model::RestoresOnRefusal(f)) {
        e->setText(Q(model_.FieldText(f)));
      } else {
        // The focus goes back to the field, once the move that left it is over.
        QTimer::singleShot(0, e, [e] {
          if (!e->isVisible()) return;
          e->setFocus();
          e->selectAll();
        });
      }
      return false;
  }
  // A new component count or style changes the lists of other pages too.
  Fill();
  return true;
}

bool FOption::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    for (auto& [f, e] : fields_) {
      if (e != watched) continue;
      if (event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, e, &QLineEdit::selectAll);
      } else {
        // A pop-up or another window taking the focus is no leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (isVisible() && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
          LeaveField(f);
      }
      break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool FOption::DoApply() {
  // The field being edited counts as left, and so does one left with a text it refused.
  for (auto& [f, e] : fields_)
    if ((e->hasFocus() || S(e->text()) != model_.FieldText(f)) && !LeaveField(f)) return false;
  const Model::ApplyError error = model_.Apply(app_);
  if (error.message != 0) {
    ui_.MsgBox(Str(error.message), MsgIcon::Critical, ProgramTitle());
    {
      const QSignalBlocker blocker(tabs_);
      tabs_->setCurrentIndex(Model::TabAxis - 1);
    }
    Fill();
    FieldEdit(Model::FieldAxisMin)->setFocus();
    return false;
  }
  if (redraw_) redraw_();
  UpdateApply();
  return true;
}

void FOption::DoOk() {
  QCoreApplication::processEvents();
  for (auto& [f, e] : fields_)
    if ((e->hasFocus() || S(e->text()) != model_.FieldText(f)) && !LeaveField(f)) return;
  if (model_.ApplyEnabled() && !DoApply()) return;
  accept();
}

void FOption::Open(int tab) {
  model_.Reset(app_);
  if (tab >= 1 && tab <= Model::kTabCount) model_.tab = tab;
  {
    const QSignalBlocker blocker(tabs_);
    tabs_->setCurrentIndex(model_.tab - 1);
  }
  Fill();
}

void FOption::ShowDialog(int tab) {
  Open(tab);
  exec();
}

// ---------------------------------------------------------------------------------------------
// Settings files

bool FOption::SaveTo(const std::string& path) {
  settingFolder_ = SplitPath(path).folder;
  return model_.SaveTo(path, ui_);
}

bool FOption::LoadFrom(const std::string& path) {
  settingFolder_ = SplitPath(path).folder;
  const bool loaded = model_.LoadFrom(path, ui_);
  Fill();
  return loaded;
}

void FOption::SaveAs() {
  QFileDialog dialog(this, QStr(6803), Q(settingFolder_));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(FilterList(Str(6801)));
  dialog.setDefaultSuffix(QStr(6802).remove('.'));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveTo(PathOf(dialog.selectedFiles().first()));
}

void FOption::LoadCommand() {
  QFileDialog dialog(this, QStr(6804), Q(settingFolder_));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(FilterList(Str(6801)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  LoadFrom(PathOf(dialog.selectedFiles().first()));
}

// ---------------------------------------------------------------------------------------------
// The window's command

FOption& FSismora::OptionDialog() {
  if (options_ == nullptr)
    options_ = new FOption(
        app_, [this] { Redraw(); }, paths_.LastFolderSetting, *this, this);
  return *options_;
}

void FSismora::OptionsCommand(int tab) {
  OptionDialog().ShowDialog(tab);
}

}  // namespace sism
