// The rules of the read-data dialog, apart from its widgets: which text each number
// box accepts and how it is rewritten, the channel count that follows "Neglect first
// column", whether the fixed-width details are enabled, and the values OK returns.
// The Qt dialog holds one of these and mirrors it in its controls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/ui.h"

namespace sism {

enum class DataBox { Skip, Step, Freq, Coef, Chan, Start, Width, Cols };
constexpr int kDataBoxCount = 8;

// The box's text in plain form ("007" → "7", "1e2" → "100", "2.0" → "2") when its
// rule accepts it: Skip a whole number ≥ 0; Coef any number; the others a whole
// number > 0. Nothing when it refuses.
std::optional<std::string> AcceptBoxText(DataBox box, std::string_view text);

// Window caption of each variant.
const std::string& ReadDataCaption(DataFileKind kind);
// "Filename: " and the path, each "&" doubled so that it is not taken as an access key.
std::string FileNameCaption(const std::string& path);

class ReadDataForm {
 public:
  // The boxes filled from the guessed values; the fixed-width boxes show 1 unless
  // the values give a layout.
  ReadDataForm(DataFileKind kind, const DataFileParams& params);

  DataFileKind Kind() const { return kind_; }
  const std::string& Text(DataBox box) const { return text_[Index(box)]; }
  // What the user types; checked when the box is left.
  void SetText(DataBox box, std::string text) { text_[Index(box)] = std::move(text); }
  std::string description;

  // The box gets the focus: its text is remembered (and the dialog selects it all).
  void Enter(DataBox box);
  // The box loses the focus: an accepted text is rewritten in plain form and true is
  // returned; otherwise the remembered text is back, Refusal() says why, and false tells
  // the dialog to show it, return the focus to the box and beep.
  bool Leave(DataBox box);
  // The sentences that refused the last box left: its label, what it takes, what it keeps.
  const std::string& Refusal() const { return refusal_; }
  // What the box takes: "a whole number of at least 1" and the like.
  static std::string Allowed(DataBox box);
  // String number of the box's label.
  static int LabelOf(DataBox box);

  // CSV: "First line contains labels" and "Neglect first column"; checking the
  // latter shows one channel less than the guess, unchecking it the guess again.
  bool HasLabel() const { return hasLabel_; }
  void SetHasLabel(bool on) { hasLabel_ = on; }
  bool NeglectFirst() const { return neglectFirst_; }
  void SetNeglectFirst(bool on);

  // General: "Specify details of fixed-width format" enables the details frame.
  bool Fixed() const { return fixed_; }
  void SetFixed(bool on) { fixed_ = on; }

  // The values OK returns; start, width and columns stay 0 unless Fixed(). False
  // when a box still holds a text its rule refuses (OK is then refused).
  bool Result(DataFileParams& out) const;

 private:
  static std::size_t Index(DataBox box) { return static_cast<std::size_t>(box); }
  DataFileKind kind_;
  std::string text_[kDataBoxCount];
  std::string remembered_[kDataBoxCount];
  std::string guessedChannels_;
  std::string refusal_;
  bool hasLabel_ = false, neglectFirst_ = false, fixed_ = false;
};

}  // namespace sism
