#include "gui/shell/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

#include "gui/shell/artwork.h"

namespace kresograf {
namespace {

bool enabled = true;
SplashWindow* current = nullptr;

}  // namespace

void SplashWindow::EnableSplash(bool flag) {
    enabled = flag;
}

bool SplashWindow::SplashEnabled() {
    return enabled;
}

SplashWindow* SplashWindow::CurrentSplash() {
    return current;
}

void SplashWindow::ShowSplash(QWidget* parent) {
    if (!enabled || current != nullptr) {
        return;
    }
    auto* splash = new SplashWindow(parent);
    if (splash->picture_.isNull()) {
        delete splash;
        return;
    }
    current = splash;
    splash->show();
    splash->repaint();
}

void SplashWindow::HideSplash() {
    if (current == nullptr) {
        return;
    }
    SplashWindow* splash = current;
    current = nullptr;
    QPointer<QWidget> owner = splash->owner_;
    splash->hide();
    splash->deleteLater();
    if (owner) {
        // Some window systems hand the focus to the splash; it goes back to the main window.
        if (owner->isVisible() && QApplication::activeWindow() == nullptr) {
            owner->activateWindow();
        }
        owner->repaint();
    }
}

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(SplashPicture()),
      owner_(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The main window keeps the keyboard: the splash only watches for the first press.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setFixedSize(picture_.size());
    // Centred on the owner, or on the screen when the owner is not placed yet.
    QRect area = parent != nullptr && parent->isVisible() ? parent->frameGeometry() : QRect();
    if (area.isEmpty() && screen() != nullptr) {
        area = screen()->availableGeometry();
    }
    move(area.center() - rect().center());
    timerId_ = startTimer(DisplayMs);
    qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow() {
    qApp->removeEventFilter(this);
    if (current == this) {
        current = nullptr;
    }
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void SplashWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timerId_) {
        killTimer(timerId_);
        timerId_ = 0;
        HideSplash();
    }
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (current != this) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Claimed so that no shortcut fires; the key press that follows ends the splash.
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonDblClick:
            // The press that ends the splash goes no further.
            HideSplash();
            return true;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

}  // namespace kresograf
