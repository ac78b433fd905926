#pragma once

class QWidget;

namespace kresograf {

// Keys typed into a tool window act in it. Qt lets the owner's shortcuts fire while a tool
// window of it is active, so the main window's Left, Right or "0" would move a marker or link
// the scales instead of moving the slider under the focus. This keeps them out, except the keys
// of the actions the window was given itself (addAction).
void KeepKeysInWindow(QWidget& window);

}  // namespace kresograf
