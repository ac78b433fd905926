#include "gui/widgets/tool_window_keys.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

namespace kresograf {
namespace {

// Sees each shortcut request that the window's widgets left to their window.
class KeyKeeper : public QObject {
  public:
    explicit KeyKeeper(QWidget& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) {
            return false;
        }
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : window_.actions()) {
            if (action->shortcut() == keys) {
                return false;
            }
        }
        // Accepted: the key goes to the focused widget as a key press, not to a shortcut.
        event->accept();
        return true;
    }

  private:
    QWidget& window_;
};

}  // namespace

void KeepKeysInWindow(QWidget& window) {
    window.installEventFilter(new KeyKeeper(window));
}

}  // namespace kresograf
