// Filling a window's texts from the string table. Widgets carry the numbers of their
// texts as properties, so that the window itself holds no user-visible text.
#pragma once

#include <QObject>

class QAction;

namespace sism {

// Caption number of a window, label, button, frame, menu or menu item.
void SetTextId(QObject* object, int id);
// Tool tip number of a control or toolbar button.
void SetTipId(QObject* object, int id);
// The key that does what a menu item does, shown beside its text (not a shortcut of its own).
void SetKeyHint(QAction* action, const char* key);

// The font of string 1001 at the size of string 1002 for the window and every control;
// captions and tool tips from the numbers they carry. Missing numbers are skipped.
void LocalizeForm(QWidget* form);

// Icons and help pages compiled into the program; call before the first window.
void InitResources();

// Qt text of a string-table entry.
QString QStr(int id);

}  // namespace sism
