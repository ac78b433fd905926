#include "gui/acquisition/acquisition_commands.h"

#include <QAction>
#include <QMainWindow>

#include "acquisition/acquisition_runner.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "card/simulated_card.h"
#include "document/registered_params.h"
#include "gui/acquisition/params_window.h"
#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
#include "gui/shell/gui_document.h"
#include "gui/view/zefra_krg_view.h"

namespace kresograf {

AcquisitionCommands::AcquisitionCommands(AppFrame& frame, AcquisitionRunner& runner, PortIo& card)
    : frame_(frame), runner_(runner), card_(card) {
    // Lives as long as the main window, hidden until asked for; binds to the active document.
    paramsFrame_ = new CKanalyPropertyFrame(
        [&frame](QWidget* owner, const UserMessage& message) {
            frame.Prompts().ShowMessage(owner, message);
        },
        &frame.Window());
    // Start and stop, and help, work from the parameters window as well.
    paramsFrame_->addAction(frame.Action(ID_OSC_START));
    paramsFrame_->addAction(frame.Action(ID_HELP_FINDER));

    frame.RegisterCommand(
        ID_OSC_START, [this] { ToggleAcquisition(false); },
        frame.DocumentRule(DocCommand::OscilloscopeStart));
    frame.RegisterCommand(
        ID_REC_START, [this] { ToggleAcquisition(true); },
        frame.DocumentRule(DocCommand::RecordingStart));
    frame.RegisterCommand(
        ID_REGISTERED_PARAMS, [this] { ShowRegisteredParams(); },
        frame.DocumentRule(DocCommand::RegisteredParams));
    frame.RegisterCommand(
        ID_ACQ_PARAMS,
        [this] {
            if (paramsFrame_->isHidden()) {
                paramsFrame_->ShowOver(frame_.Window());
            }
        },
        [] {
            return CommandState{true, false};
        });
    frame.WatchActiveView(
        [this](CZefraKrgView& view) { ShowDocumentParams(view.Document().Doc->DocId); });
    TakePendingGains();
    runWatch_.setInterval(50);
    connect(&runWatch_, &QTimer::timeout, this, [this] {
        if (frame_.Settings().AcquiringDocId.load() == 0 && !runner_.Busy()) {
            runWatch_.stop();
            RunEnded();
        }
    });
}

AcquisitionCommands::~AcquisitionCommands() {
    // The parameters window outlives the documents by a little; it lets go of them first.
    paramsFrame_->Unbind();
}

void AcquisitionCommands::ToggleAcquisition(bool recording) {
    GuiDocument* document = frame_.ActiveDocument();
    if (document == nullptr) {
        return;
    }
    if (frame_.Settings().AcquiringDocId.load() == 0) {
        // No worker reads the gains now.
        TakePendingGains();
    }
    if (recording) {
        runner_.ToggleRecording(*document->Doc);
    } else {
        runner_.ToggleOscilloscope(*document->Doc);
    }
    paramsFrame_->RunningChanged();
    runWatch_.start();
}

void AcquisitionCommands::RunEnded() {
    TakePendingGains();
    // The page shown unlocks and the status pane drops the run's (or the refusal's) text.
    paramsFrame_->RunningChanged();
    frame_.SetStatusText({});
    frame_.UpdateCommandStates();
}

void AcquisitionCommands::ShowRegisteredParams() {
    if (GuiDocument* document = frame_.ActiveDocument()) {
        frame_.Prompts().ShowRegisteredParams(&frame_.Window(),
                                              RegisteredParamsRequestOf(*document->Doc));
    }
}

void AcquisitionCommands::HandleAcquisitionMessage(uint32_t message, uint32_t wParam) {
    SettingsRecord& settings = frame_.Settings();
    const uint32_t acquiring = settings.AcquiringDocId.load();
    GuiDocument* document = FindDocument(frame_.Documents(), acquiring);
    switch (message) {
        case WM_DOC_UPDATE:
            if (document != nullptr) {
                for (CZefraKrgView* view : document->Views) {
                    view->OnUpdate(wParam);
                }
                frame_.UpdateCommandStates();
            }
            break;
        case WM_ACQ_ENDED:
            // The worker has read the gains for the last time.
            TakePendingGains();
            if (document != nullptr && acquiring == settings.ShownParamsDocId.load()) {
                paramsFrame_->Rebind(document->Doc.get(), wParam == 1 ? 1 : 0);
            }
            // The progress of a finished acquisition no longer applies.
            frame_.SetStatusText({});
            frame_.UpdateCommandStates();
            break;
        case WM_ACQ_STATUS: {
            const std::string_view text = StatusText(wParam);
            frame_.SetStatusText(
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
            paramsFrame_->SetStatus(wParam);
            break;
        }
        default:
            break;
    }
}

void AcquisitionCommands::ShowDocumentParams(uint32_t docId) {
    SettingsRecord& settings = frame_.Settings();
    if (settings.ShownParamsDocId.load() == docId) {
        return;
    }
    settings.ShownParamsDocId = docId;
    if (GuiDocument* document = FindDocument(frame_.Documents(), docId)) {
        paramsFrame_->Bind(document->Doc.get());
    }
}

void AcquisitionCommands::DocumentClosing(GuiDocument& document, bool last) {
    SettingsRecord& settings = frame_.Settings();
    if (settings.ShownParamsDocId.load() == document.Doc->DocId) {
        settings.ShownParamsDocId = 0;
        paramsFrame_->Unbind();
    }
    if (last) {
        // The last document closes: its parameters window goes with it.
        paramsFrame_->hide();
    }
}

std::array<uint8_t, 8> AcquisitionCommands::TakeGains(const std::array<uint8_t, 8>& gains) {
    SettingsRecord& settings = frame_.Settings();
    if (runner_.Busy() || settings.AcquiringDocId.load() != 0) {
        pendingGains_ = gains;
        return settings.ChannelGain;
    }
    // Gains held back from an earlier run are older than these.
    pendingGains_.reset();
    return gains;
}

void AcquisitionCommands::TakePendingGains() {
    SettingsRecord& settings = frame_.Settings();
    if (pendingGains_) {
        settings.ChannelGain = *pendingGains_;
        pendingGains_.reset();
    }
    // The simulated card cannot see the gain jumpers; it is told the stored gains instead.
    if (auto* simulated = dynamic_cast<SimulatedCard*>(&card_)) {
        for (int input = 0; input < 8; ++input) {
            simulated->SetInputGain(input, settings.HighGain(input));
        }
    }
}

}  // namespace kresograf
