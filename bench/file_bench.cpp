// Saving and opening a large document against a plain file copy of the same bytes, opening it
// and describing its first picture, saving a recording (moved by rename, or copied), and the
// exports (tab-separated text, CSV, HDF5) against a plain fprintf loop writing the tab table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/ascii_export.h"
#include "document/csv_export.h"
#include "document/data_export.h"
#include "document/kgd_file.h"
#include "document/recording_file.h"
#include "document/scan_store.h"
#include "view/plot_view.h"

namespace {

using namespace kresograf;

constexpr uint32_t LargeScans = 10'000'000;
constexpr uint32_t ExportScans = 200'000;

// A folder under the system's temporary folder, removed at exit. The path is never destroyed,
// so the exit handler can still read it.
const std::string& Folder() {
    static const std::string* folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kresograf-bench-XXXXXX").string();
        auto* made = new std::string(::mkdtemp(pattern.data()));
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Folder(), ignored);
        });
        return made;
    }();
    return *folder;
}

void FillDocument(CZefraKrgDoc& doc, uint32_t scans) {
    doc.ChannelPresent[0].fill(1);
    if (scans > doc.SetCapacity(0) && !doc.ResizeSet(0, scans)) {
        std::abort();
    }
    for (uint32_t c = 0; c < 8; ++c) {
        int32_t* samples = doc.Samples[0][c].Data();
        for (uint32_t i = 0; i < scans; ++i) {
            samples[i] = static_cast<int32_t>((i * 7 + c * 131) % 4096) * 10 - 20480;
        }
    }
    int32_t* times = doc.ScanTime[0].Data();
    for (uint32_t i = 0; i < scans; ++i) {
        times[i] = static_cast<int32_t>(i * 8);
    }
    doc.SampleCount[0] = scans;
}

CZefraKrgDoc& LargeDocument() {
    static std::unique_ptr<CZefraKrgDoc> doc = [] {
        auto made = std::make_unique<CZefraKrgDoc>();
        FillDocument(*made, LargeScans);
        return made;
    }();
    return *doc;
}

const std::string& SavedPath() {
    static const std::string path = [] {
        const std::string saved = Folder() + "/large.kgd";
        if (!SaveDocument(LargeDocument(), saved).Ok()) {
            std::abort();
        }
        return saved;
    }();
    return path;
}

int64_t LargeBytes() {
    return int64_t{FileHeaderSize} + int64_t{LargeScans} * 8 * 4;
}

void BM_SaveDocument(benchmark::State& state) {
    const CZefraKrgDoc& doc = LargeDocument();
    const std::string path = Folder() + "/save.kgd";
    for (auto _ : state) {
        if (!SaveDocument(doc, path).Ok()) {
            state.SkipWithError("save failed");
        }
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * LargeBytes());
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_OpenDocument(benchmark::State& state) {
    const std::string& path = SavedPath();
    CZefraKrgDoc doc;
    for (auto _ : state) {
        if (!OpenDocument(doc, path).Ok()) {
            state.SkipWithError("open failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * LargeBytes());
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Opening the large file and describing the first picture a 1920 x 1080 window shows of it: the
// file mapped, its summaries built in one pass, the traces reduced.
void BM_OpenAndFirstPicture(benchmark::State& state) {
    const std::string& path = SavedPath();
    const SettingsRecord settings;
    const TextMeasure measure = [](std::string_view text) {
        return TextSize{static_cast<int32_t>(text.size()) * 6, 11};
    };
    std::size_t points = 0;
    for (auto _ : state) {
        CZefraKrgDoc doc;
        if (!OpenDocument(doc, path).Ok()) {
            state.SkipWithError("open failed");
            break;
        }
        PlotView view(doc, &settings);
        view.SetAxisMetrics(measure);
        view.OnUpdate(HintInitial);
        const Picture picture = view.BuildPicture(1920, 1080, measure, true);
        points = 0;
        for (const auto& trace : picture.Traces) {
            points += trace.Points.size();
        }
    }
    state.counters["points"] = static_cast<double>(points);
    state.SetBytesProcessed(state.iterations() * LargeBytes());
}
BENCHMARK(BM_OpenAndFirstPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A document whose shown set is a recording of the large document's scans, still the program's
// own file in a recordings folder, as a recording leaves it.
std::unique_ptr<CZefraKrgDoc> FreshRecording() {
    const CZefraKrgDoc& large = LargeDocument();
    auto doc = std::make_unique<CZefraKrgDoc>();
    doc->ChannelPresent = large.ChannelPresent;
    doc->SampleCount[0] = LargeScans;
    doc->Register(large.RegisteredParams(), large.RegisteredTrigger());
    int error = 0;
    RecordingPlace place;
    place.Folder = Folder() + "/recordings";
    std::shared_ptr<RecordingFile> file =
        RecordingFile::Create(place, FileHeaderOf(*doc), 8, error);
    std::vector<int32_t> block(8 * 65536);
    for (uint32_t first = 0; file != nullptr && first < LargeScans; first += 65536) {
        const uint32_t n = std::min<uint32_t>(65536, LargeScans - first);
        for (uint32_t i = 0; i < n; ++i) {
            for (uint32_t c = 0; c < 8; ++c) {
                block[8 * i + c] = large.Samples[0][c][first + i];
            }
        }
        error = file->Append(reinterpret_cast<const uint8_t*>(block.data()), n);
    }
    if (file == nullptr || error != 0 || file->Flush(LargeScans * 8) != 0 ||
        file->WriteHeader(FileHeaderOf(*doc)) != 0) {
        std::abort();
    }
    auto store =
        std::make_shared<ScanStore>(MappedFile::Map(file->Descriptor(), LargeBytes(), error),
                                    RecordingFile::DataOffset, doc->ChannelPresent[0]);
    store->Publish(LargeScans);
    store->File = std::move(file);
    doc->SetStore(0, std::move(store));
    return doc;
}

// Saving a recording: arg 0 moves it by rename (the same file system), 1 copies it (as to
// another file system, with the copy flushed to the disk).
void BM_SaveRecording(benchmark::State& state) {
    const std::string target = Folder() + "/saved-recording.kgd";
    SaveOptions options;
    options.ForceCopy = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CZefraKrgDoc> doc = FreshRecording();
        state.ResumeTiming();
        if (!SaveDocument(*doc, target, options).Ok()) {
            state.SkipWithError("save failed");
        }
        state.PauseTiming();
        doc.reset();
        std::filesystem::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * LargeBytes());
}
BENCHMARK(BM_SaveRecording)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("copy")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// What cp does with the saved file: read and write in 1 MB pieces; with sync = 1 it also
// flushes to the disk, as a save does.
void BM_CopyFile(benchmark::State& state) {
    const std::string& source = SavedPath();
    const std::string target = Folder() + "/copy.kgd";
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        const int in = ::open(source.c_str(), O_RDONLY);
        const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ssize_t got = 0;
        while ((got = ::read(in, buffer.data(), buffer.size())) > 0) {
            if (::write(out, buffer.data(), static_cast<std::size_t>(got)) != got) {
                state.SkipWithError("write failed");
                break;
            }
        }
        if (state.range(0) != 0) {
            ::fsync(out);
        }
        ::close(in);
        ::close(out);
    }
    std::filesystem::remove(target);
    state.SetBytesProcessed(state.iterations() * LargeBytes());
}
BENCHMARK(BM_CopyFile)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("sync")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

CZefraKrgDoc& ExportDocument() {
    static std::unique_ptr<CZefraKrgDoc> doc = [] {
        auto made = std::make_unique<CZefraKrgDoc>();
        FillDocument(*made, ExportScans);
        return made;
    }();
    return *doc;
}

constexpr std::array<bool, 8> AllInputs{true, true, true, true, true, true, true, true};

// One export of the 200 000 x 8 table with the time column in the given form; items are samples,
// so the three forms compare per sample.
void ExportAs(benchmark::State& state, ExportFormat format, const char* name) {
    const CZefraKrgDoc& doc = ExportDocument();
    const std::string path = Folder() + "/" + name;
    const ExportRequest request{format, true, AllInputs, "export.kgd"};
    for (auto _ : state) {
        if (!ExportData(doc, path, request).Ok()) {
            state.SkipWithError("export failed");
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
    state.SetItemsProcessed(state.iterations() * int64_t{ExportScans} * 8);
    std::filesystem::remove(path);
}

void BM_ExportAscii(benchmark::State& state) {
    ExportAs(state, ExportFormat::Text, "export.dat");
}
BENCHMARK(BM_ExportAscii)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportCsv(benchmark::State& state) {
    ExportAs(state, ExportFormat::Csv, "export.csv");
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportHdf5(benchmark::State& state) {
    ExportAs(state, ExportFormat::Hdf5, "export.h5");
}
BENCHMARK(BM_ExportHdf5)->Unit(benchmark::kMillisecond)->UseRealTime();

// The table alone, without the file: what the formatting costs.
class CountingSink final : public ByteSink {
  public:
    bool Write(const void*, std::size_t n) override {
        Bytes += n;
        return true;
    }
    int Error() const override { return 0; }
    int64_t Bytes = 0;
};

void BM_ExportAsciiFormatting(benchmark::State& state) {
    const CZefraKrgDoc& doc = ExportDocument();
    int64_t bytes = 0;
    for (auto _ : state) {
        CountingSink sink;
        WriteAscii(doc, sink, true, AllInputs);
        bytes += sink.Bytes;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ExportAsciiFormatting)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportCsvFormatting(benchmark::State& state) {
    const ExportTable table(ExportDocument(), AllInputs);
    int64_t bytes = 0;
    for (auto _ : state) {
        CountingSink sink;
        WriteCsv(table, sink, true);
        bytes += sink.Bytes;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ExportCsvFormatting)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain way: one fprintf per line with the per-line format, into a buffered stream.
void BM_ExportFprintf(benchmark::State& state) {
    const CZefraKrgDoc& doc = ExportDocument();
    const std::string path = Folder() + "/fprintf.dat";
    const float msPerTick = static_cast<float>(doc.RegisteredParams().Divisor / 8000.0);
    const int32_t* times = doc.ScanTime[0].Data();
    const int32_t* s[8];
    for (uint32_t c = 0; c < 8; ++c) {
        s[c] = doc.Samples[0][c].Data();
    }
    constexpr double unit = 1.0 / 4096.0;
    for (auto _ : state) {
        std::FILE* out = std::fopen(path.c_str(), "w");
        for (uint32_t i = 0; i < ExportScans; ++i) {
            std::fprintf(out, "%.2f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t%.3f\t\r\n",
                         times[i] * static_cast<double>(msPerTick), s[0][i] * unit, s[1][i] * unit,
                         s[2][i] * unit, s[3][i] * unit, s[4][i] * unit, s[5][i] * unit,
                         s[6][i] * unit, s[7][i] * unit);
        }
        std::fclose(out);
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExportFprintf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
