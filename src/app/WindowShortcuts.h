#pragma once

class QWidget;

namespace sapidoro {

// Makes the shortcuts of `window`'s own actions win over the focused control's key
// bindings (a line edit takes Ctrl+E as "end of line" on X11), wherever the focus is in it.
void KeepWindowShortcuts(QWidget *window);

}  // namespace sapidoro
