#include "gui/view/view_commands.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>

#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/view/markers_window.h"
#include "gui/view/plot_print.h"
#include "gui/view/spectrum_window.h"
#include "gui/view/zefra_krg_view.h"
#include "view/channel_menu.h"

namespace kresograf {
namespace {

// Sees the clicks and keys of the whole program and tells which of two windows they went to.
// Reaching the main window's menu bar or toolbar from a tool window takes the activation to the
// main window, so a click there says nothing about where the user works.
class WorkWindowTracker : public QObject {
  public:
    WorkWindowTracker(QWidget& toolWindow, QMainWindow& mainWindow, bool& inToolWindow)
        : toolWindow_(toolWindow), mainWindow_(mainWindow), inToolWindow_(inToolWindow) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::MouseButtonPress && type != QEvent::ShortcutOverride &&
             type != QEvent::KeyPress && type != QEvent::WindowActivate) ||
            !watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        const QWidget* window = widget->window();
        if (window == &toolWindow_) {
            inToolWindow_ = true;
        } else if (window == &mainWindow_ && type != QEvent::WindowActivate && !InBars(widget)) {
            inToolWindow_ = false;
        }
        return false;
    }

  private:
    static bool InBars(const QWidget* widget) {
        for (; widget != nullptr; widget = widget->parentWidget()) {
            if (qobject_cast<const QMenuBar*>(widget) != nullptr ||
                qobject_cast<const QToolBar*>(widget) != nullptr) {
                return true;
            }
        }
        return false;
    }

    QWidget& toolWindow_;
    QMainWindow& mainWindow_;
    bool& inToolWindow_;
};

}  // namespace

ViewCommands::ViewCommands(AppFrame& frame)
    : frame_(frame),
      markersWindow_(new CZnacznikiDlg(&frame.Window())),
      spectrumWindow_(new CSpectrumWindow(frame.Settings(), &frame.Window())),
      printing_(std::make_unique<PlotPrinting>()) {
    spectrumWindow_->UsePrinter(&printing_->Printer());
    // Ctrl+P and Ctrl+C typed in "Widmo" print and copy it.
    spectrumWindow_->addAction(frame.Action(ID_FILE_PRINT));
    spectrumWindow_->addAction(frame.Action(ID_EDIT_COPY_NEGATED));
    workTracker_ =
        std::make_unique<WorkWindowTracker>(*spectrumWindow_, frame.Window(), spectrumWorkedIn_);
    qApp->installEventFilter(workTracker_.get());
    frame.WatchActiveView([this](CZefraKrgView& view) { spectrumWindow_->Follow(&view); });
    Register();
    RegisterPrintAndCopy();
}

ViewCommands::~ViewCommands() = default;

void ViewCommands::AttachView(CZefraKrgView* view, QMdiSubWindow* frame) {
    view->SetMarkersWindow(markersWindow_);
    markersWindow_->Track(frame);
}

void ViewCommands::Register() {
    AppFrame& frame = frame_;
    auto withView = [&frame](auto run) {
        return [&frame, run] {
            if (CZefraKrgView* view = frame.ActiveView()) {
                run(*view);
            }
        };
    };
    auto viewState = [&frame](auto checked) {
        return [&frame, checked] {
            CZefraKrgView* view = frame.ActiveView();
            return view != nullptr ? CommandState{true, checked(*view)} : CommandState{};
        };
    };
    auto never = [](CZefraKrgView&) { return false; };

    for (int id :
         {ID_AUTOSCALE, ID_ALIGN_SCALES, ID_LINK_SCALES, ID_FIX_X_ZERO, ID_FIX_Y_ZERO, ID_GRID}) {
        frame.RegisterCommand(
            id, withView([id](CZefraKrgView& view) { view.RunScaleCommand(id); }), [&frame, id] {
                CZefraKrgView* view = frame.ActiveView();
                return view != nullptr ? view->ScaleCommandState(id) : CommandState{};
            });
    }
    for (int i = 0; i < ChannelCount; ++i) {
        for (ChannelMenu menu :
             {ChannelMenu::Visibility, ChannelMenu::Active, ChannelMenu::RightAxis}) {
            const auto id = static_cast<int>(ChannelCommandId(menu, i));
            frame.RegisterCommand(id, withView([&frame, menu, i](CZefraKrgView& view) {
                                      PlotView& plot = view.Plot();
                                      const ViewResponse response =
                                          menu == ChannelMenu::Visibility ? plot.ToggleChannel(i)
                                          : menu == ChannelMenu::Active   ? plot.SetActiveChannel(i)
                                                                          : plot.SetRightChannel(i);
                                      if (response.Message) {
                                          frame.ShowMessage(*response.Message);
                                      }
                                      view.Apply(response);
                                  }),
                                  [&frame, menu, i] {
                                      CZefraKrgView* view = frame.ActiveView();
                                      if (view == nullptr) {
                                          return CommandState{};
                                      }
                                      const ChannelItemState state =
                                          view->Plot().ItemState(menu, i);
                                      return CommandState{state.Enabled, state.Checked};
                                  });
        }
    }
    frame.RegisterCommand(ID_SWAP_CHANNELS, withView([](CZefraKrgView& view) {
                              view.Apply(view.Plot().SwapChannels());
                          }),
                          viewState(never));
    frame.RegisterCommand(
        ID_MARKERS, withView([](CZefraKrgView& view) { view.Apply(view.Plot().MarkersCommand()); }),
        viewState([](CZefraKrgView& view) { return view.Plot().MarkersChecked(); }));
    const std::pair<int, MarkerKey> keys[] = {{ID_MARKER_LEFT_BACK, MarkerKey::LeftBack},
                                              {ID_MARKER_LEFT_FORWARD, MarkerKey::LeftForward},
                                              {ID_MARKER_RIGHT_BACK, MarkerKey::RightBack},
                                              {ID_MARKER_RIGHT_FORWARD, MarkerKey::RightForward}};
    for (const auto& [id, key] : keys) {
        frame.RegisterCommand(
            id, withView([key](CZefraKrgView& view) { view.Apply(view.Plot().MoveMarker(key)); }),
            viewState(never));
    }
    frame.RegisterCommand(
        ID_MARKERS_WINDOW, [this] { markersWindow_->setVisible(!markersWindow_->isVisible()); },
        [this] {
            return CommandState{true, markersWindow_->isVisible()};
        });
    frame.RegisterCommand(
        ID_SPECTRUM_WINDOW, [this] { spectrumWindow_->setVisible(!spectrumWindow_->isVisible()); },
        [this] {
            return CommandState{true, spectrumWindow_->isVisible()};
        });
    frame.RegisterCommand(
        ID_FILE_PRINT_SETUP, [this] { printing_->PageSetup(&frame_.Window()); },
        [] {
            return CommandState{true, false};
        });
}

bool ViewCommands::SpectrumIsCurrent() const {
    return spectrumWorkedIn_ && spectrumWindow_->isVisible();
}

// On "Widmo" when it is current, otherwise on the active plot window; a plot is not printed while
// its document acquires (its set may flip under the page), the spectrum's own copy is.
void ViewCommands::RegisterPrintAndCopy() {
    AppFrame& frame = frame_;
    auto route = [this](auto onSpectrum, auto onPlot) {
        return [this, onSpectrum, onPlot] {
            if (SpectrumIsCurrent()) {
                onSpectrum(*spectrumWindow_);
            } else if (CZefraKrgView* view = frame_.ActiveView()) {
                onPlot(*view);
            }
        };
    };
    auto rule = [this](AppFrame::CommandRule onPlot) {
        return [this, onPlot] {
            return SpectrumIsCurrent() ? CommandState{true, false} : onPlot();
        };
    };
    const AppFrame::CommandRule anyView = [&frame] {
        return CommandState{frame.ActiveView() != nullptr, false};
    };
    for (const bool negate : {false, true}) {
        frame.RegisterCommand(
            negate ? ID_EDIT_COPY_NEGATED : ID_EDIT_COPY,
            route([negate](CSpectrumWindow& spectrum) { spectrum.CopyToClipboard(negate); },
                  [negate](CZefraKrgView& view) { view.CopyToClipboard(negate); }),
            rule(anyView));
    }
    frame.RegisterCommand(
        ID_FILE_PRINT,
        route([](CSpectrumWindow& spectrum) { spectrum.Print(); },
              [this](CZefraKrgView& view) { printing_->Print(view.Plot(), &frame_.Window()); }),
        rule(frame.DocumentRule(DocCommand::Print)));
    frame.RegisterCommand(
        ID_FILE_PRINT_PREVIEW,
        route([](CSpectrumWindow& spectrum) { spectrum.PrintPreview(); },
              [this](CZefraKrgView& view) { printing_->Preview(view.Plot(), &frame_.Window()); }),
        rule(frame.DocumentRule(DocCommand::PrintPreview)));
    frame.RegisterCommand(
        ID_FILE_PRINT_DIRECT,
        [this] {
            if (CZefraKrgView* view = frame_.ActiveView()) {
                printing_->PrintDirect(view->Plot(), &frame_.Window());
            }
        },
        frame.DocumentRule(DocCommand::Print));
}

}  // namespace kresograf
