#include <algorithm>
#include <array>
#include <system_error>
#include <thread>

#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"
#include "view/axis_labels.h"
#include "view/plot_view.h"
#include "view/trace_reduction.h"

namespace kresograf {
namespace {

constexpr uint32_t Black = 0x000000;
constexpr int32_t PrintEdgeWidth = 10;

}  // namespace

TraceMapping PlotView::ChannelMapping(int channel, const PictureRect& plot,
                                      const PictureRect& clip) const {
    TraceMapping m = ComputeTraceMapping(XStart, XEnd, YMin[channel], YMax[channel], plot);
    if (m.XSpan == 0) {
        // A window of zero width (a one-sample set): every scan falls on the first column inside
        // the clip instead of dividing by zero.
        m.XSpan = 1;
        m.PixelWidth = 0;
        m.OriginX = clip.Left;
    }
    if (m.YSpan == 0) {
        m.YSpan = 1;
        m.PixelHeight = 0;
        m.OriginY = plot.Top + plot.Height() / 2;
    }
    return m;
}

bool PlotView::PrepareTrace(int channel, const PictureRect& plot, const PictureRect& clip,
                            bool onScreen, TraceMapping& mapping) {
    mapping = ChannelMapping(channel, plot, clip);
    // Kept even when nothing is visible: a click is placed by the window on screen, never by an
    // older one.
    if (onScreen) {
        TraceMappings[channel] = mapping;
    }
    FindVisibleRange(XStart, XEnd, FirstVisible[channel], LastVisible[channel]);
    if (FirstVisible[channel] < 0 || LastVisible[channel] < FirstVisible[channel]) {
        return false;
    }
    if (Reduction == TraceReduction::Summary) {
        SummaryOf(channel);  // built or extended here, read-only while the traces are reduced
    }
    return true;
}

void PlotView::ReduceChannel(int channel, const TraceMapping& mapping,
                             std::vector<PicturePoint>& points) const {
    if (Reduction == TraceReduction::Summary) {
        const auto store = doc_.Store(set_);
        const TraceSummary& summary =
            store != nullptr ? store->Summary(channel) : summaries_[set_][channel].Summary;
        ReduceTrace(Times(), SamplesOf(channel), summary, FirstVisible[channel],
                    LastVisible[channel], mapping, points);
    } else {
        ReduceTracePlain(Times(), SamplesOf(channel), FirstVisible[channel], LastVisible[channel],
                         mapping, points);
    }
}

const TraceSummary& PlotView::SummaryOf(int channel) {
    if (const auto store = doc_.Store(set_)) {
        // A set read from a file has its summaries built with it (at opening, or by the
        // recording's writer as its scans arrive), shared by every view.
        return store->Summary(channel);
    }
    SummaryCache& cache = summaries_[set_][channel];
    const uint64_t generation = doc_.Generation[set_].load();
    const uint32_t count = SampleCount();
    const SampleColumn samples = SamplesOf(channel);
    const uint8_t* data = samples.Base;
    if (cache.Built && cache.Generation == generation && cache.Data == data &&
        count >= cache.Summary.Count()) {
        // The same samples, perhaps more of them (a recording that goes on): only the new ones
        // are summarised.
        cache.Summary.Extend(samples, count);
    } else {
        // Tables for the whole array, so that a set still being filled grows into them.
        cache.Summary.Build(samples, count, doc_.SetCapacity(set_));
        cache.Built = true;
        cache.Generation = generation;
        cache.Data = data;
        ++summaryBuilds_;
    }
    return cache.Summary;
}

Picture PlotView::BuildPicture(int32_t width, int32_t height, const TextMeasure& measure,
                               bool onScreen) {
    Picture picture;
    BuildPicture(picture, width, height, measure, onScreen);
    return picture;
}

void PlotView::BuildPicture(Picture& picture, int32_t width, int32_t height,
                            const TextMeasure& measure, bool onScreen) {
    // The buffers of the previous picture are kept for this one: the traces' point buffers go
    // back to the pool, the other lists are emptied with their storage.
    for (PictureTrace& trace : picture.Traces) {
        pointPool_.push_back(std::move(trace.Points));
    }
    picture.Restart(width, height, onScreen);
    if (onScreen && settings_ == nullptr) {
        picture.FillBackground = false;
        return;
    }
    const SettingsRecord defaults;
    const SettingsRecord& settings = settings_ != nullptr ? *settings_ : defaults;

    int32_t columnWidth = AxisColumnWidth;
    int32_t bandHeight = AxisBandHeight;
    if (!onScreen) {
        columnWidth = measure("  000.000  ").Width;
        bandHeight = 2 * measure("000.000").Height;
    }
    if (height <= 2 * bandHeight || width <= 2 * columnWidth) {
        return;
    }
    const PictureRect plot{columnWidth, bandHeight, width - columnWidth, height - bandHeight};
    picture.HasPlot = true;
    picture.Plot = plot;
    if (onScreen) {
        PlotRect = plot;
        picture.FillPlot = true;
        picture.RaisedEdge = true;
    } else {
        picture.AxisLines.push_back(
            {{plot.Left, plot.Top}, {plot.Right, plot.Top}, Black, PrintEdgeWidth});
        picture.AxisLines.push_back(
            {{plot.Right, plot.Bottom}, {plot.Left, plot.Bottom}, Black, PrintEdgeWidth});
    }

    const float timeStep = TimeStep();
    std::vector<PicturePoint>& grid = picture.Grid;
    grid.reserve(static_cast<std::size_t>(plot.Width() + plot.Height()));
    DrawTimeAxis({XStart, XEnd, timeStep, plot, bandHeight, width, height, Black}, measure,
                 picture.Labels, grid);

    const int a = ActiveChannel;
    const int r = RightChannel;
    if (!onScreen) {
        picture.AxisLines.push_back({{columnWidth - 1, plot.Top},
                                     {columnWidth - 1, plot.Bottom},
                                     settings.PrintColor(a),
                                     1});
        picture.AxisLines.push_back({{width - columnWidth + 1, plot.Top},
                                     {width - columnWidth + 1, plot.Bottom},
                                     settings.PrintColor(r),
                                     1});
    }
    ValueAxesInput axes;
    axes.Active = a;
    axes.Right = r;
    axes.YMinA = YMin[a];
    axes.YMaxA = YMax[a];
    axes.YMinR = YMin[r];
    axes.YMaxR = YMax[r];
    axes.FactorA = VoltFactor(a);
    axes.FactorR = VoltFactor(r);
    axes.Plot = plot;
    axes.ColumnWidth = columnWidth;
    axes.ClientWidth = width;
    axes.ColorA = onScreen ? settings.ChannelColors[a] : Black;
    axes.ColorR = onScreen ? settings.ChannelColors[r] : Black;
    DrawValueAxes(axes, measure, picture.Labels, grid);

    picture.Clip =
        onScreen ? PictureRect{plot.Left + 2, plot.Top + 2, plot.Right - 2, plot.Bottom - 2} : plot;
    // The shown traces' mappings, visible ranges and summaries first; then the reductions,
    // which only read, shared between this thread and one helper when there is enough to do.
    struct Job {
        PictureTrace Trace;
        TraceMapping Mapping;
    };
    std::array<Job, ChannelCount> jobs;
    std::size_t count = 0;
    int64_t work = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        TraceMapping mapping;
        if (!ChannelShown(c) || !PrepareTrace(c, plot, picture.Clip, onScreen, mapping)) {
            continue;
        }
        Job& job = jobs[count++];
        job.Mapping = mapping;
        job.Trace.Channel = c;
        job.Trace.Color = onScreen ? settings.ChannelColors[c] : settings.PrintColor(c);
        if (!pointPool_.empty()) {
            job.Trace.Points = std::move(pointPool_.back());
            pointPool_.pop_back();
        }
        job.Trace.Points.clear();
        work += static_cast<int64_t>(LastVisible[c]) - FirstVisible[c] + 1;
    }
    auto reduce = [this, &jobs](std::size_t from, std::size_t to) {
        for (std::size_t j = from; j < to; ++j) {
            ReduceChannel(jobs[j].Trace.Channel, jobs[j].Mapping, jobs[j].Trace.Points);
        }
    };
    std::thread helper;
    if (count >= 2 && work >= ParallelReductionScans) {
        try {
            helper = std::thread(reduce, count / 2, count);
        } catch (const std::system_error&) {
            // No thread to be had (a resource limit): this one reduces them all.
        }
    }
    if (helper.joinable()) {
        reduce(0, count / 2);
        helper.join();
    } else {
        reduce(0, count);
    }
    for (std::size_t j = 0; j < count; ++j) {
        if (!jobs[j].Trace.Points.empty()) {
            picture.Traces.push_back(std::move(jobs[j].Trace));
        } else {
            pointPool_.push_back(std::move(jobs[j].Trace.Points));
        }
    }
    if (GridOn == 0) {
        grid.clear();
    }
    picture.GridColor = settings.GridColor;
}

}  // namespace kresograf
