// The main window's menu bar and toolbar: built once, then enabled and checked as the
// record and the view change. Every item is a child of the window and carries its
// menu name (toolbar buttons their key) as object name.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/shell/view_commands.h"
#include "state/graph_kinds.h"

class QAction;
class QMenu;
class QToolBar;

namespace sism {

class FSismora;

class MainMenus {
 public:
  // Builds the menu bar and the toolbar of `window`; their items run its commands.
  explicit MainMenus(FSismora& window);

  QAction* ActionByKey(const std::string& key) const;  // toolbar key or menu name
  QToolBar* ToolBar() const { return toolBar_; }
  QMenu* FileMenu() const { return menuFile_; }
  QMenu* ViewMenu() const { return menuView_; }
  QMenu* ChannelMenu() const { return menuChannel_; }
  const std::vector<QAction*>& RecentItems() const { return recentItems_; }
  // The View menu items that show and hide the two bars.
  QAction* ToolBarItem() const { return actToolBar_; }
  QAction* StatusBarItem() const { return actStatusBar_; }

  // The items that need a record; kinds without a painter stay disabled either way.
  void EnableRecordItems(bool enabled);
  // Orbit and relation views.
  void EnableTwoChannelViews(bool on);
  // Time buttons need a graph with a time axis; some kinds have no peaks.
  void EnableTimeButtons(bool controlsEnabled, bool timeAxis, int32_t kind);
  // The items of `kind` checked, those of every other kind not; 0 checks none.
  void CheckKind(int32_t kind);
  // Zoom step `index` checked instead of `previous` (-1: none), its picture on the button.
  void ShowZoom(int previous, int index);
  void ShowRecentFiles(const RecentList& recent);
  // One item per report page of a record with `chanCount` channels.
  void RebuildChannelMenu(int32_t chanCount);

 private:
  QMenu* AddMenu(QMenu* parent, const char* name, int textId);
  QAction* AddItem(QMenu* menu, const char* name, int textId, std::function<void()> run);
  QAction* AddKindItem(QMenu* menu, const GraphKindInfo& info);
  QAction* AddButton(const char* key, int tipId, const char* theme, std::function<void()> run);
  void BuildMenuBar();
  void BuildToolBar();

  FSismora& window_;
  QToolBar* toolBar_ = nullptr;
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
