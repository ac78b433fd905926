#include "gui/view/view_commands.h"

#include <QMainWindow>
#include <QMdiSubWindow>

#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/view/markers_window.h"
#include "gui/view/plot_print.h"
#include "gui/view/zefra_krg_view.h"
#include "view/channel_menu.h"

namespace kresograf {

ViewCommands::ViewCommands(AppFrame& frame)
    : frame_(frame),
      markersWindow_(new CZnacznikiDlg(&frame.Window())),
      printing_(std::make_unique<PlotPrinting>()) {
    Register();
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
    frame.RegisterCommand(ID_EDIT_COPY,
                          withView([](CZefraKrgView& view) { view.CopyToClipboard(false); }),
                          viewState(never));
    frame.RegisterCommand(ID_EDIT_COPY_NEGATED,
                          withView([](CZefraKrgView& view) { view.CopyToClipboard(true); }),
                          viewState(never));
    // Not while the document acquires: its set may flip under the page.
    frame.RegisterCommand(ID_FILE_PRINT, withView([this](CZefraKrgView& view) {
                              printing_->Print(view.Plot(), &frame_.Window());
                          }),
                          frame.DocumentRule(DocCommand::Print));
    frame.RegisterCommand(ID_FILE_PRINT_DIRECT, withView([this](CZefraKrgView& view) {
                              printing_->PrintDirect(view.Plot(), &frame_.Window());
                          }),
                          frame.DocumentRule(DocCommand::Print));
    frame.RegisterCommand(ID_FILE_PRINT_PREVIEW, withView([this](CZefraKrgView& view) {
                              printing_->Preview(view.Plot(), &frame_.Window());
                          }),
                          frame.DocumentRule(DocCommand::PrintPreview));
    frame.RegisterCommand(
        ID_FILE_PRINT_SETUP, [this] { printing_->PageSetup(&frame_.Window()); },
        [] {
            return CommandState{true, false};
        });
}

}  // namespace kresograf
