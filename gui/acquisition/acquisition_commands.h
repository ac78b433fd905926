#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <optional>

namespace kresograf {

class AcquisitionRunner;
class AppFrame;
class CKanalyPropertyFrame;
class PortIo;
struct GuiDocument;

// The acquisition commands: "&Start" (the oscilloscope), "&Rejestracja", "&Parametry akwizycji
// ..." with the window it shows, and "&Zarejestrowane parametry ...". Takes the worker's
// messages on the UI thread, keeps the parameters window bound to the active document and the
// status pane to the run, and holds the inputs' gains back while an acquisition reads them.
class AcquisitionCommands : public QObject {
    Q_OBJECT

  public:
    // runner: the one acquisition worker; card: the card's registers (the simulated card is
    // told the gains, which it cannot read from jumpers).
    AcquisitionCommands(AppFrame& frame, AcquisitionRunner& runner, PortIo& card);
    ~AcquisitionCommands() override;

    // "Parametry akwizycji"; null when it could not be made.
    CKanalyPropertyFrame* ParamsFrame() const { return paramsFrame_; }

    // WM_DOC_UPDATE, WM_ACQ_ENDED and WM_ACQ_STATUS, on the UI thread.
    void HandleAcquisitionMessage(uint32_t message, uint32_t wParam);
    // A plot window became active: its document's working parameters are the ones to show.
    void ShowDocumentParams(uint32_t docId);
    // A document goes: the window lets go of it, and hides with the last one.
    void DocumentClosing(GuiDocument& document, bool last);
    // Gains the user accepted: the ones to use now. While an acquisition runs they wait for its
    // end and the ones in use stay.
    std::array<uint8_t, 8> TakeGains(const std::array<uint8_t, 8>& gains);

  private:
    void ToggleAcquisition(bool recording);
    void ShowRegisteredParams();
    // Gains accepted during an acquisition reach the settings (and the simulated card) here.
    void TakePendingGains();
    // The run started last is over, however it ended: a refused start sends no WM_ACQ_ENDED.
    void RunEnded();

    AppFrame& frame_;
    AcquisitionRunner& runner_;
    PortIo& card_;
    CKanalyPropertyFrame* paramsFrame_ = nullptr;
    std::optional<std::array<uint8_t, 8>> pendingGains_;
    QTimer runWatch_;
};

}  // namespace kresograf
