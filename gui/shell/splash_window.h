#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

namespace kresograf {

// The start-up picture over the main window for 750 ms, or until the first key or mouse button,
// which it swallows. One at a time; the command line can switch it off for the whole run.
class SplashWindow : public QWidget {
    Q_OBJECT

  public:
    static void EnableSplash(bool enabled);
    static bool SplashEnabled();
    static void ShowSplash(QWidget* parent);
    static SplashWindow* CurrentSplash();
    static void HideSplash();

    static constexpr int DisplayMs = 750;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit SplashWindow(QWidget* parent);
    ~SplashWindow() override;

    QImage picture_;
    QPointer<QWidget> owner_;
    int timerId_ = 0;
};

}  // namespace kresograf
