// What the channel pick dialog does, without the window: two lists, the entries moved
// between them, and which buttons are enabled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sism {

class PickChanLists {
 public:
  // Every channel starts in the ignoring list as "CH" + number as "00" + ": " + label.
  explicit PickChanLists(const std::vector<std::string>& labels);

  struct Entry {
    std::string text;
    int32_t channel;  // 1-based; kept beside the text, which cannot hold it past 99
  };
  const std::vector<Entry>& Ignoring() const { return ignoring_; }
  const std::vector<Entry>& Using() const { return using_; }

  // Selected positions (0-based), -1 for none. A click on an entry selects it.
  int IgnoringSelection() const { return ignoringSel_; }
  int UsingSelection() const { return usingSel_; }
  void SelectIgnoring(int index);
  void SelectUsing(int index);

  // Add moves the selected ignoring entry to the end of the using list; remove the selected
  // using entry to the end of the ignoring list. A double click on an entry does the same
  // for its list.
  void Add();
  void Remove();
  void DoubleClickIgnoring(int index);
  void DoubleClickUsing(int index);

  bool AddEnabled() const { return ignoringSel_ >= 0; }
  bool RemoveEnabled() const { return usingSel_ >= 0; }
  bool OkEnabled() const { return !using_.empty(); }

  // OK: the channel numbers of the using list, in its order.
  std::vector<int32_t> Chosen() const;

 private:
  static void Move(std::vector<Entry>& from, int& fromSel, std::vector<Entry>& to);
  std::vector<Entry> ignoring_, using_;
  int ignoringSel_ = -1, usingSel_ = -1;
};

}  // namespace sism
