#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/acquisition_params.h"
#include "base/user_message.h"
#include "document/sample_column.h"
#include "document/trace_summary.h"
#include "view/channel_menu.h"
#include "view/marker_statistics.h"
#include "view/marker_texts.h"
#include "view/picture.h"
#include "view/trace_mapping.h"
#include "view/zoom_history.h"

namespace kresograf {

class CZefraKrgDoc;
struct SettingsRecord;

// Limits of the value range in stored units (+-80 V at the default scale) and of the time window
// under the mouse.
inline constexpr int32_t ValueLimit = 327680;
inline constexpr int32_t TimeLimit = 0x3FFFFFFC;

// What the window must do after an operation of the view.
enum class ViewAction {
    None,
    // Copy the existing picture to the screen again (markers moved).
    Redraw,
    // Build a new picture, then copy it.
    RenderAndRedraw,
    // Repaint only OldBand from the existing picture, then draw the rubber band ZoomRect.
    InvalidateBand,
};

struct ViewResponse {
    ViewAction Action = ViewAction::None;
    PictureRect OldBand;
    // Bit c set: the markers window must show channel c anew (see PlotView::MarkerReadoutOf).
    uint8_t MarkerChannels = 0;
    // A message box to show before anything else.
    std::optional<UserMessage> Message;
};

struct MarkerRecord {
    uint32_t Left = 0;
    uint32_t Right = 0;
    uint32_t Shown = 0;

    friend bool operator==(const MarkerRecord&, const MarkerRecord&) = default;
};

enum class MarkerSide { Left, Right };

// The four marker keys: arrows move the left marker, with Ctrl the right one.
enum class MarkerKey { LeftBack, LeftForward, RightBack, RightForward };

// One marker sprite to copy onto the screen: Dest is the part of the 17 x 17 square around the
// marker's sample that lies inside the plot; SourceOffset is where that part starts in the sprite.
struct MarkerOverlay {
    int Channel = 0;
    MarkerSide Side = MarkerSide::Left;
    PicturePoint Centre;
    PictureRect Dest;
    PicturePoint SourceOffset;
    uint32_t Color = 0;

    friend bool operator==(const MarkerOverlay&, const MarkerOverlay&) = default;
};

struct ChannelItemState {
    bool Enabled = false;
    bool Checked = false;

    friend bool operator==(const ChannelItemState&, const ChannelItemState&) = default;
};

// How a trace is reduced to pixel columns; both give the same polyline.
enum class TraceReduction { Plain, Summary };

// The model of one plot window: scales, zoom history, mouse state, markers and channel choice of a
// view of a document, and the pictures built from them. Settings may be null (no main window):
// values are then shown in stored units and nothing is rendered on screen.
class PlotView {
  public:
    PlotView(CZefraKrgDoc& doc, const SettingsRecord* settings);

    // The label font's metrics: column width of "  000.000  ", twice the height of "000.000".
    void SetAxisMetrics(const TextMeasure& measure);

    // Scale state.
    int32_t XStart = 0;
    int32_t XEnd = 0;
    std::array<int32_t, 8> YMin{};
    std::array<int32_t, 8> YMax{};
    int32_t ActiveChannel = 0;
    int32_t RightChannel = 1;
    uint32_t LinkedScales = 0;
    std::array<uint32_t, 8> ChannelVisible{1, 1, 1, 1, 1, 1, 1, 1};
    uint32_t GridOn = 1;
    int32_t AxisColumnWidth = 0;
    int32_t AxisBandHeight = 0;
    // The plot rectangle of the last screen picture.
    PictureRect PlotRect;

    // Interaction state.
    PicturePoint LastMouse;
    uint32_t Panning = 0;
    uint32_t Stretching = 0;
    uint32_t RectZooming = 0;
    uint32_t Dragged = 0;
    PictureRect ZoomRect;

    std::array<MarkerRecord, 8> Markers{};
    // Scan range of the last trace computation per channel; -1 when nothing was visible.
    std::array<int32_t, 8> FirstVisible{-1, -1, -1, -1, -1, -1, -1, -1};
    std::array<int32_t, 8> LastVisible{-1, -1, -1, -1, -1, -1, -1, -1};
    // The mapping of each channel at its last screen render.
    std::array<TraceMapping, 8> TraceMappings{};
    // Plain walks every visible scan; kept to measure and check the summary against.
    TraceReduction Reduction = TraceReduction::Summary;
    // From this many visible scans in all traces together, half the traces are reduced on a
    // helper thread (below it the thread costs more than it saves).
    int64_t ParallelReductionScans = 4'000'000;

    // Document links and updates. While a recording of the document runs, the view is linked
    // to the set it fills and shows the scans that have arrived.
    void RefreshDocumentLinks();
    ViewResponse OnUpdate(uint32_t hint);
    // Takes in what a running recording has added since the last call. When the view first
    // sees a recording its time window becomes the whole planned run (the value scales stay as
    // they are); after that the user's zoom and pan stay too. Asks for a new picture only when
    // there is something new to show, also once when the recording has gone.
    ViewResponse OnRecordingProgress();
    bool Live() const { return live_; }
    uint32_t LinkedSet() const { return set_; }
    uint32_t SampleCount() const;
    bool ChannelPresent(int channel) const;
    // Drawn: present in the shown set and switched on by the user.
    bool ChannelShown(int channel) const;
    // Duration of one ScanTime unit in ms, from the registered parameters of the data.
    float TimeStep() const;
    // The block of the data shown: the running recording's while one is shown live, else the
    // registered one.
    AcquisitionParams ShownParams() const;

    // History.
    void ResetHistory() { history_.Reset(); }
    void PushHistory();
    void StepHistory(bool forward);
    const ZoomHistory& History() const { return history_; }

    // Scale commands.
    ViewResponse Autoscale();
    ViewResponse AlignScales();
    ViewResponse ToggleLinkedScales();
    ViewResponse FixXZero();
    ViewResponse FixYZero();
    ViewResponse ToggleGrid();
    void AutoscaleChannel(int channel, bool visibleOnly);

    // Pictures. The screen picture stores PlotRect, the visible ranges and the mappings that the
    // mouse and the markers read; the paper picture uses the print font's measure, print pens,
    // axis lines and black labels, and leaves the screen's mappings alone.
    Picture BuildPicture(int32_t width, int32_t height, const TextMeasure& measure, bool onScreen);
    // The same into a picture kept from the last time, whose buffers are reused: a view that
    // renders again and again allocates nothing once they have grown.
    void BuildPicture(Picture& picture, int32_t width, int32_t height, const TextMeasure& measure,
                      bool onScreen);

    // Mouse and keys.
    ViewResponse LeftButtonDown(PicturePoint at, bool shift, bool ctrl);
    ViewResponse RightButtonDown(PicturePoint at, bool shift);
    ViewResponse MouseMove(PicturePoint at, int32_t clientWidth, int32_t clientHeight);
    ViewResponse LeftButtonUp(PicturePoint at);
    ViewResponse RightButtonUp(PicturePoint at);
    ViewResponse LeftDoubleClick();
    ViewResponse RightDoubleClick();
    ViewResponse MoveMarker(MarkerKey key);
    // The rectangle zoom on the last rubber band.
    void ZoomToRect();

    // Markers.
    void ToggleMarkers(int channel);
    bool SetMarkerAtPixel(int channel, int32_t x, MarkerSide side);
    // The markers menu command on the active channel.
    ViewResponse MarkersCommand();
    bool MarkersChecked() const { return Markers[ActiveChannel].Shown != 0; }
    MarkerReadout MarkerReadoutOf(int channel) const;
    std::vector<MarkerOverlay> MarkerOverlays() const;
    // Time between the channel's markers and the statistics of the samples from one to the
    // other; none while its markers are off.
    std::optional<MarkerStatistics> MarkerStatisticsOf(int channel) const;

    // Channel menus and commands.
    ChannelItemState ItemState(ChannelMenu menu, int channel) const;
    ViewResponse SetActiveChannel(int channel);
    ViewResponse SetRightChannel(int channel);
    ViewResponse ToggleChannel(int channel);
    ViewResponse SwapChannels();

    // How many channel summaries this view has built so far.
    uint64_t SummaryBuilds() const { return summaryBuilds_; }

  private:
    // A channel's min/max summary over one set, valid while the set's generation and array stay
    // as they were when it was built; it grows with the set's count.
    struct SummaryCache {
        bool Built = false;
        uint64_t Generation = 0;
        const uint8_t* Data = nullptr;
        TraceSummary Summary;
    };
    const TraceSummary& SummaryOf(int channel);

    ViewRange CurrentRange() const;
    void ApplyRange(const ViewRange& range);
    void ResetWindowAndScales();
    // The scales were set for an empty set and describe no data the user has seen.
    bool placeholderScales_ = true;
    void ResetMarkers();
    uint8_t ClampMarkers();
    bool DragStep(int channel, PicturePoint at, int32_t clientWidth, int32_t clientHeight);
    void ZoomChannelToRect(int channel);
    void FindVisibleRange(int32_t x1, int32_t x2, int32_t& first, int32_t& last) const;
    TraceMapping ChannelMapping(int channel, const PictureRect& plot,
                                const PictureRect& clip) const;
    // A trace's mapping, visible range and summary, set up before its reduction; false when
    // none of it is visible.
    bool PrepareTrace(int channel, const PictureRect& plot, const PictureRect& clip, bool onScreen,
                      TraceMapping& mapping);
    // The trace's points: reads only, so traces may be reduced side by side.
    void ReduceChannel(int channel, const TraceMapping& mapping,
                       std::vector<PicturePoint>& points) const;
    double VoltFactor(int channel) const;
    ScanTimes Times() const;
    SampleColumn SamplesOf(int channel) const;

    CZefraKrgDoc& doc_;
    const SettingsRecord* settings_;
    uint32_t set_ = 0;
    ZoomHistory history_;
    std::array<std::array<SummaryCache, 8>, 2> summaries_;
    uint64_t summaryBuilds_ = 0;
    // Point buffers of traces no longer in a picture, for the next one.
    std::vector<std::vector<PicturePoint>> pointPool_;
    // The running recording the view is linked to: its complete scans when last looked at,
    // its inputs and its block.
    bool live_ = false;
    uint32_t liveScans_ = 0;
    uint32_t livePlanned_ = 0;
    std::array<uint32_t, 8> livePresent_{};
    AcquisitionParams liveParams_;
};

}  // namespace kresograf
