// The six pages of the options dialog. Each builds its controls, sends what the user
// does to the dialog's model and shows the model again in Fill.
#pragma once

#include <QColor>
#include <QIcon>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/shell/forms/option_dialog.h"
#include "common/ui.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace sism {

class FOption;

class OptionPage : public QWidget {
 public:
  using Model = OptionDialogModel;
  explicit OptionPage(FOption& dialog);
  // The controls from the working copy; signals stay blocked while they are set.
  void Refresh();

 protected:
  virtual void Fill() = 0;
  Model& model();
  UserInterface& ui();
  // The whole dialog filled again (a change that shows on other controls or pages).
  void FillAll();
  // The Apply button follows the model.
  void Changed();
  QLineEdit* Field(Model::Field f, QWidget* parent);
  // Buttons of a page never take Enter from the dialog's OK.
  QPushButton* PageButton(int textId, QWidget* parent);
  // A button with a swatch of the colour `get` gives; a click asks for a new one.
  QPushButton* ColorButton(int textId, QWidget* parent, std::function<RgbColor()> get,
                           std::function<void(RgbColor)> set);
  FOption& dialog_;

 private:
  std::vector<std::function<void()>> swatches_;
};

// Axis/Graph Title
class AxisPage : public OptionPage {
 public:
  explicit AxisPage(FOption& dialog);

 protected:
  void Fill() override;

 private:
  QComboBox *cboAxis_ = nullptr, *cboTitleKind_ = nullptr;
  QCheckBox *chkSpecify_ = nullptr, *chkLog_ = nullptr;
  QLineEdit *txtLabel_ = nullptr, *txtUnit_ = nullptr, *txtTitle_ = nullptr;
};

// Components
class ComponentPage : public OptionPage {
 public:
  explicit ComponentPage(FOption& dialog);

 protected:
  void Fill() override;

 private:
  QListWidget* lstComp_ = nullptr;
  QSpinBox* updComp_ = nullptr;
  QComboBox* cboCompStyle_ = nullptr;
  QLineEdit* txtChanLabel_ = nullptr;
  QPushButton* cmdChanLabel_ = nullptr;
};

// Graph appearance
class AppearancePage : public OptionPage {
 public:
  explicit AppearancePage(FOption& dialog);

 protected:
  void Fill() override;

 private:
  void FillPreview();
  QComboBox *cboTarget_ = nullptr, *cboFont_ = nullptr, *cboLineStyle_ = nullptr;
  QCheckBox *chkBold_ = nullptr, *chkItalic_ = nullptr, *chkGrid_ = nullptr, *chkMinorGrid_ = nullptr,
            *chkLegFix_ = nullptr;
  QLabel* lblSample_ = nullptr;
  QButtonGroup* optLegend_ = nullptr;
  QLineEdit *txtHeader_ = nullptr, *txtFooter_ = nullptr;
};

// Graph form
class FormPage : public OptionPage {
 public:
  explicit FormPage(FOption& dialog);

 protected:
  void Fill() override;

 private:
  QCheckBox* chkPeriod_ = nullptr;
};

// Orbit/Relation
class OrbitPage : public OptionPage {
 public:
  explicit OrbitPage(FOption& dialog);

 protected:
  void Fill() override;

 private:
  QLabel* lblOrbitPair_ = nullptr;
  QComboBox* cboOrbitTime_ = nullptr;
  QListWidget* lstRelation_ = nullptr;
  std::vector<QLineEdit*> windowFields_;
};

// Report
class ReportPage : public OptionPage {
 public:
  explicit ReportPage(FOption& dialog);

 protected:
  void Fill() override;

 private:
  QSpinBox* updRepGraph_ = nullptr;
  QComboBox* cboRepType_ = nullptr;
  QPlainTextEdit* txtRepText_ = nullptr;
  QPushButton* cmdRepRemove_ = nullptr;
};

// A list of the five line styles.
QComboBox* StyleList(QWidget* parent);
// Stored colours (red in the low byte) on screen.
QColor ColorOf(RgbColor c);
QIcon ColorSwatch(RgbColor c);

}  // namespace sism
