#include "app/shell/forms/pick_chan_dialog.h"

#include "common/text.h"

namespace sism {

PickChanLists::PickChanLists(const std::vector<std::string>& labels) {
  for (std::size_t i = 0; i < labels.size(); ++i) {
    int32_t ch = static_cast<int32_t>(i) + 1;
    ignoring_.push_back({"CH" + FormatNumber(ch, "00") + ": " + labels[i], ch});
  }
}

void PickChanLists::SelectIgnoring(int index) {
  ignoringSel_ = index >= 0 && index < static_cast<int>(ignoring_.size()) ? index : -1;
}

void PickChanLists::SelectUsing(int index) {
  usingSel_ = index >= 0 && index < static_cast<int>(using_.size()) ? index : -1;
}

void PickChanLists::Move(std::vector<Entry>& from, int& fromSel, std::vector<Entry>& to) {
  if (fromSel < 0 || fromSel >= static_cast<int>(from.size())) return;
  to.push_back(from[static_cast<std::size_t>(fromSel)]);
  from.erase(from.begin() + fromSel);
  // The entry now at the same place, or the one before when the last was moved.
  if (fromSel >= static_cast<int>(from.size())) fromSel = static_cast<int>(from.size()) - 1;
}

void PickChanLists::Add() {
  Move(ignoring_, ignoringSel_, using_);
}
void PickChanLists::Remove() {
  Move(using_, usingSel_, ignoring_);
}

void PickChanLists::DoubleClickIgnoring(int index) {
  SelectIgnoring(index);
  Add();
}

void PickChanLists::DoubleClickUsing(int index) {
  SelectUsing(index);
  Remove();
}

std::vector<int32_t> PickChanLists::Chosen() const {
  std::vector<int32_t> out;
  for (const Entry& e : using_) out.push_back(e.channel);
  return out;
}

}  // namespace sism
