// The two acquisition modes end to end: the runner's worker thread, the card link and the
// simulated card on a clock that costs no wall time.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include "acquisition/acquisition_runner.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "card/card_port.h"
#include "card/manual_clock.h"
#include "card/port_io.h"
#include "card/simulated_card.h"
#include "document/file_test_support.h"
#include "document/kgd_file.h"
#include "document/recordings_folder.h"
#include "document/zefra_krg_doc.h"
#include "support/recording_frame_link.h"
#include "support/scan_list.h"

namespace kresograf {
namespace {

using Call = RecordingFrameLink::Call;

bool EndedLast(const RecordingFrameLink& frame) {
    const auto calls = frame.Calls();
    return !calls.empty() && calls.back().Sent && calls.back().Message == WM_ACQ_ENDED;
}

// Passes the link's register accesses to the card, counting the writes and the resets.
struct Tap : PortIo {
    explicit Tap(PortIo& target) : card(target) {}
    uint16_t InWord(uint16_t port) override { return card.InWord(port); }
    void OutWord(uint16_t port, uint16_t value) override {
        ++writes;
        if ((port & 0x0F) == RegReset && value != 0) {
            ++resets;
        }
        card.OutWord(port, value);
    }
    PortIo& card;
    std::atomic<int> writes{0};
    std::atomic<int> resets{0};
};

struct Bench {
    explicit Bench(uint64_t clockStep = 5)
        : clock(0, clockStep), card(clock, 0x100), tap(card), port(tap, clock) {
        runner.SetRecordingPlace({"", folder.Path.string(), {}, {}});
    }
    // Starts a mode on the document and waits for its worker to end.
    bool Run(CZefraKrgDoc& doc, bool recording) {
        const bool started =
            recording ? runner.ToggleRecording(doc) : runner.ToggleOscilloscope(doc);
        runner.Join();
        return started;
    }
    ManualClock clock;
    SettingsRecord settings;
    SimulatedCard card;
    Tap tap;
    CardPort port;
    RecordingFrameLink frame;
    AcquisitionRunner runner{settings, port, frame};
    // The recordings folder.
    filetest::TempFolder folder;
};

// What a run left: the token, the set shown, the messages shown and the dialogs opened.
std::tuple<uint32_t, uint32_t, std::size_t, std::size_t> Left(const Bench& b,
                                                              const CZefraKrgDoc& doc) {
    return {b.settings.AcquiringDocId.load(), doc.CurrentSet.load(), b.frame.MessageBoxes().size(),
            b.frame.RegisteredRequests().size()};
}

std::vector<uint8_t> Saved(const CZefraKrgDoc& doc) {
    VectorSink sink;
    EXPECT_TRUE(SaveToArchive(doc, sink).Ok());
    return sink.Bytes;
}

AcquisitionParams Block(std::initializer_list<int8_t> channels, uint32_t total) {
    return ScanList(channels, 84, total);
}

// A constant -1.5 V on input 7 never rises through +4 V.
const TriggerParams NeverTrigger{TriggerAnalog, 6, EdgeRising, 0, 4.0f};

TEST(OscilloscopeModeTest, ShotsFillTheSpareSetAndRegisterTheirBlock) {
    CZefraKrgDoc doc;
    Bench b;
    // Stops after three shots, noting the count each update shows, as a view would see it, and
    // whether the block is marked running (read from the first update: the worker may end before
    // the starting thread looks). The token held during a run is the recording test's check.
    std::vector<uint32_t> shown;
    uint32_t runningDuringRun = 0;
    uint32_t tokenWhenEnded = 0;
    b.frame.OnMessage = [&](const Call& call) {
        if (call.Message == WM_ACQ_ENDED) {
            // The main frame handles the end while the worker still holds the token.
            tokenWhenEnded = b.settings.AcquiringDocId.load();
        }
        if (call.Message != WM_DOC_UPDATE) {
            return;
        }
        if (shown.empty()) {
            runningDuringRun = doc.WorkingParams().Running;
        }
        shown.push_back(doc.SampleCount[doc.CurrentSet.load()]);
        if (shown.size() == 3) {
            doc.OscRunning = 0;
        }
    };
    doc.SetWorking(Block({6, 0}, 2000), TriggerParams{});
    ASSERT_TRUE(b.Run(doc, false));
    EXPECT_EQ(std::tuple(runningDuringRun, tokenWhenEnded, b.frame.Count(true, WM_ACQ_ENDED, 0),
                         b.frame.Count(true, WM_DOC_UPDATE, HintNewShot)),
              std::tuple(1u, doc.DocId, 1, 3));
    EXPECT_TRUE(EndedLast(b.frame));
    EXPECT_EQ(shown, (std::vector<uint32_t>{1000, 1000, 1000}));
    // Three flips from set 0: set 1 is shown.
    EXPECT_EQ(Left(b, doc), std::tuple(0u, 1u, 0u, 0u));
    EXPECT_EQ(doc.ChannelPresent[1], (std::array<uint32_t, 8>{1, 0, 0, 0, 0, 0, 1, 0}));
    // Input 7 carries -1.5 V: count round(-1.5 / 5 * 2048) = -614, stored at gain x1 as x10.
    for (uint32_t k = 0; k < 1000; ++k) {
        ASSERT_EQ(doc.Samples[1][6][k], -6140) << k;
        ASSERT_EQ(doc.ScanTime[1][k], static_cast<int32_t>(2 * k));
    }
    EXPECT_EQ(doc.RegisteredParams(), Block({6, 0}, 2000));

    // A block of exactly one scan is a shot of one scan.
    shown.clear();
    b.frame.OnMessage = [&](const Call& call) {
        if (call.Message == WM_DOC_UPDATE) {
            shown.push_back(doc.SampleCount[doc.CurrentSet.load()]);
            doc.OscRunning = 0;
        }
    };
    doc.SetWorking(Block({6, 0}, 2), TriggerParams{});
    ASSERT_TRUE(b.Run(doc, false));
    EXPECT_TRUE(b.frame.MessageBoxes().empty());
    EXPECT_EQ(shown, std::vector<uint32_t>{1});
}

TEST(AcquisitionRunnerTest, TheCardIsResetOnceAcrossRecordings) {
    CZefraKrgDoc doc;
    Bench b;
    // An output the user started before the first acquisition plays on through two recordings.
    ASSERT_TRUE(b.port.Attach(b.settings.PortAddress));
    const float volts[] = {2.0f};
    ASSERT_EQ(b.port.SendCommand(CmdAnalogOutput, OutputRequest{800, 1, volts, nullptr}), CardOk);
    doc.SetWorking(Block({0}, 1000), TriggerParams{});
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(b.Run(doc, true));
        EXPECT_EQ(doc.SampleCount[doc.CurrentSet.load()], 1000u);
    }
    EXPECT_EQ(b.tap.resets.load(), 1);
    EXPECT_NEAR(b.card.AnalogOutputVolts(), 2.0, 0.01);
    EXPECT_TRUE(b.frame.MessageBoxes().empty());
}

const UserMessage ReceiveFailed{"Błąd transmisji", "Błąd podczas odbierania danych z QB730.",
                                MessageIcon::Stop};

// The card fails its handshake while the frame goes out, or stops sending halfway through the
// data: both modes show the reception message, keep the shown set and release the token.
TEST(AcquisitionRunnerTest, HandshakeFailuresInBothModes) {
    for (const bool recording : {false, true}) {
        for (const SimulatedFault fault : {SimulatedFault::Dead, SimulatedFault::StopsAfterWords}) {
            SCOPED_TRACE(recording ? "recording" : "oscilloscope");
            CZefraKrgDoc doc;
            Bench b;
            b.card.SetFault(fault, 300);
            doc.SetWorking(Block({0, 6}, 2000), TriggerParams{});
            ASSERT_TRUE(b.Run(doc, recording));
            ASSERT_EQ(Left(b, doc), std::tuple(0u, 0u, 1u, 0u));
            EXPECT_EQ(b.frame.MessageBoxes()[0], ReceiveFailed);
            EXPECT_EQ(doc.SampleCount[0] + doc.SampleCount[1], 0u);
            EXPECT_TRUE(EndedLast(b.frame));
            if (recording) {
                break;  // a stream that stops sending is a stream stopped by the user
            }
        }
    }
}

TEST(RecordingModeTest, RecordingGoesToItsFileAndOpensTheDialog) {
    CZefraKrgDoc doc;
    Bench b;
    // 2 000 000 conversions over 4 inputs: 500 000 scans.
    doc.SetWorking(Block({0, 2, 4, 6}, 2'000'000), TriggerParams{});
    // The acquisition token is still held while the dialog is open.
    uint32_t tokenDuringDialog = 0;
    b.frame.OnRegisteredParams = [&](const RegisteredParamsRequest&) {
        tokenDuringDialog = b.settings.AcquiringDocId.load();
    };
    ASSERT_TRUE(b.Run(doc, true));
    ASSERT_EQ(Left(b, doc), std::tuple(0u, 1u, 0u, 1u));
    EXPECT_EQ(doc.SampleCount[1], 500'000u);
    EXPECT_EQ(doc.Column(1, 6)[499'999], -6140);
    EXPECT_EQ(doc.Times(1)[499'999], 4 * 499'999);
    // The scans live in the recordings folder's file, which is byte for byte the document as it
    // saves; no array of them is held in memory.
    EXPECT_EQ(doc.Samples[1][6].Size(), 0u);
    const std::vector<std::string> files = b.folder.Entries();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(filetest::ReadBytes(b.folder.File(files[0])), Saved(doc));
    EXPECT_EQ(b.frame.Count(false, WM_DOC_UPDATE, HintRecordingDone), 1);
    const RegisteredParamsRequest request = b.frame.RegisteredRequests()[0];
    EXPECT_EQ(std::tie(request.Scans, request.Params),
              std::tuple(500'000u, Block({0, 2, 4, 6}, 2'000'000)));
    EXPECT_EQ(tokenDuringDialog, doc.DocId);
    EXPECT_TRUE(EndedLast(b.frame));

    // Let go of unsaved, the recording's file goes.
    doc.DeleteContents();
    EXPECT_TRUE(b.folder.Entries().empty());
}

TEST(RecordingModeTest, SavingMovesTheRecordingByRenameOrByCopyWithTheSameBytes) {
    // Two runs on cards with the same clock record the same scans.
    CZefraKrgDoc renamed;
    CZefraKrgDoc copied;
    Bench first;
    Bench second;
    renamed.SetWorking(Block({0, 6}, 100'000), TriggerParams{});
    copied.SetWorking(Block({0, 6}, 100'000), TriggerParams{});
    ASSERT_TRUE(first.Run(renamed, true));
    ASSERT_TRUE(second.Run(copied, true));
    filetest::TempFolder target;
    ASSERT_TRUE(SaveDocument(renamed, target.File("a.kgd")).Ok());

    // A copy (another file system) tells its progress; cancelled, it leaves everything as it was.
    SaveOptions options;
    options.ForceCopy = true;
    uint64_t done = 0;
    uint64_t total = 0;
    bool goOn = false;
    options.Progress = [&](uint64_t now, uint64_t all) {
        done = now;
        total = all;
        return goOn;
    };
    EXPECT_EQ(SaveDocument(copied, target.File("b.kgd"), options).Code, FileCancelled);
    EXPECT_FALSE(std::filesystem::exists(target.File("b.kgd")));
    EXPECT_EQ(second.folder.Entries().size(), 1u);
    goOn = true;
    ASSERT_TRUE(SaveDocument(copied, target.File("b.kgd"), options).Ok());
    EXPECT_EQ(done, total);
    EXPECT_EQ(total, 378u + 50'000 * 8);

    // Both left the recordings folder with the bytes the document saves.
    EXPECT_TRUE(first.folder.Entries().empty());
    EXPECT_TRUE(second.folder.Entries().empty());
    const std::vector<uint8_t> bytes = filetest::ReadBytes(target.File("a.kgd"));
    EXPECT_EQ(filetest::ReadBytes(target.File("b.kgd")), bytes);
    EXPECT_EQ(Saved(copied), bytes);
    // Saved, a file is the user's: letting go of its document keeps it.
    renamed.DeleteContents();
    EXPECT_TRUE(std::filesystem::exists(target.File("a.kgd")));
}

TEST(RecordingModeTest, WithoutMemoryOrDiskARecordingIsRefusedBeforeTheCard) {
    CZefraKrgDoc doc;
    Bench b;
    doc.Allocation = [](std::size_t) { return false; };
    doc.SetWorking(Block({0, 1, 2, 3}, 2'000'000), TriggerParams{});
    ASSERT_TRUE(b.Run(doc, true));
    // 8 MB planned on a disk with 1 MB free.
    doc.Allocation = nullptr;
    const std::string folder = b.folder.Path.string();
    b.runner.SetRecordingPlace({"", folder, {}, [](const std::string&) { return 1u << 20; }});
    ASSERT_TRUE(b.Run(doc, true));
    ASSERT_EQ(Left(b, doc), std::tuple(0u, 0u, 2u, 0u));
    EXPECT_EQ(b.frame.MessageBoxes()[0],
              (UserMessage{"Brak pamięci", "Zbyt mało pamięci w celu zachowania danych.",
                           MessageIcon::Stop}));
    EXPECT_EQ(
        b.frame.MessageBoxes()[1],
        (UserMessage{"Brak miejsca na dysku",
                     "Rejestracja nie zmieści się na dysku: potrzebuje 7.6 MB, a w folderze " +
                         folder + " wolne jest 1.0 MB.",
                     MessageIcon::Stop}));
    EXPECT_EQ(b.tap.writes.load(), 0);
    EXPECT_TRUE(b.folder.Entries().empty());
}

TEST(RecordingModeTest, AFullDiskEndsTheRecordingKeepingWhatWasWritten) {
    CZefraKrgDoc doc;
    Bench b;
    // Room for 5 000 scans of two inputs.
    constexpr uint64_t disk = 378 + 5000 * 8;
    b.runner.SetRecordingPlace(
        {"",
         b.folder.Path.string(),
         [](uint64_t offset, std::size_t n) { return offset + n > disk ? ENOSPC : 0; },
         {}});
    doc.SetWorking(Block({0, 6}, 200'000), TriggerParams{});
    ASSERT_TRUE(b.Run(doc, true));
    ASSERT_EQ(Left(b, doc), std::tuple(0u, 1u, 1u, 1u));
    EXPECT_EQ(b.frame.MessageBoxes()[0],
              (UserMessage{"Błąd zapisu pliku",
                           "Brak miejsca na dysku. Rejestrację zakończono; dane zapisane do tej "
                           "chwili zostały zachowane.",
                           MessageIcon::Stop}));
    EXPECT_EQ(doc.SampleCount[1], 5000u);
    // The file holds those scans and opens again as they are.
    const std::vector<std::string> files = b.folder.Entries();
    ASSERT_EQ(files.size(), 1u);
    CZefraKrgDoc back;
    ASSERT_TRUE(OpenDocument(back, b.folder.File(files[0])).Ok());
    EXPECT_EQ(Saved(back), Saved(doc));
    EXPECT_EQ(std::filesystem::file_size(b.folder.File(files[0])), disk);
}

TEST(AcquisitionRunnerTest, WithoutAThreadTheStartIsRefusedWithTheMemoryMessage) {
    CZefraKrgDoc doc;
    Bench b;
    b.runner.WorkerStackBytes = std::size_t{1} << 46;  // more than any address space
    doc.SetWorking(Block({0}, 1000), TriggerParams{});
    for (const bool recording : {false, true}) {
        EXPECT_FALSE(recording ? b.runner.ToggleRecording(doc) : b.runner.ToggleOscilloscope(doc));
        EXPECT_EQ(std::tuple(b.settings.AcquiringDocId.load(), doc.OscRunning.load(),
                             doc.RecRunning.load(), doc.WorkingParams().Running),
                  std::tuple(0u, 0u, 0u, 0u));
    }
    ASSERT_EQ(b.frame.MessageBoxes().size(), 2u);
    EXPECT_EQ(b.frame.MessageBoxes()[1].Text, "Zbyt mało pamięci w celu zachowania danych.");
}

TEST(AcquisitionModeTest, RefusedConfigurationsNeverReachTheCard) {
    CZefraKrgDoc doc;
    Bench b;
    doc.SetWorking(Block({}, 1000), TriggerParams{});
    ASSERT_TRUE(b.Run(doc, true));
    b.settings.ChannelGain[7] = 0x80;  // pair 3: input 7 at x10, input 8 at x1
    doc.SetWorking(PairList({3}, 84), TriggerParams{});
    ASSERT_TRUE(b.Run(doc, true));
    EXPECT_EQ(b.frame.Count(true, WM_ACQ_ENDED, 0), 0);
    AcquisitionParams shot = Block({0, 1, 2}, 6);
    shot.Prescaler = 3;  // two conversions kept for three inputs: no complete scan
    doc.SetWorking(shot, TriggerParams{});
    ASSERT_TRUE(b.Run(doc, false));
    ASSERT_EQ(Left(b, doc), std::tuple(0u, 0u, 3u, 0u));
    EXPECT_EQ(b.frame.MessageBoxes()[0].Text, "Nie wybrano żadnego kanału.");
    EXPECT_EQ(b.frame.MessageBoxes()[1].Text,
              "Kanały tworzące parę różnicową posiadają różne wzmocnienie.");
    EXPECT_EQ(
        b.frame.MessageBoxes()[2],
        (UserMessage{"Błąd konfiguracji",
                     "Liczba próbek jest za mała, aby odczytać choć jeden pełny skan kanałów.",
                     MessageIcon::Stop}));
    EXPECT_EQ(std::pair(b.tap.writes.load(), b.clock.SleptMs()), std::pair(0, uint64_t{0}));
}

TEST(RecordingModeTest, AnOverrunKeepsAndShowsTheScansBeforeIt) {
    // Every clock reading costs 1 ms: the card converts 95 words meanwhile and its buffer fills.
    CZefraKrgDoc doc;
    Bench b(1000);
    doc.SetWorking(Block({6}, 1'000'000), TriggerParams{});
    ASSERT_TRUE(b.Run(doc, true));
    ASSERT_EQ(Left(b, doc), std::tuple(0u, 1u, 1u, 1u));
    EXPECT_EQ(b.frame.MessageBoxes()[0],
              (UserMessage{"Błąd utraty danych", "Wystąpiło nadpisanie danych w buforze karty.",
                           MessageIcon::Stop}));
    const uint32_t kept = doc.SampleCount[1];
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, 1'000'000u);
    EXPECT_EQ(doc.Column(1, 6)[kept - 1], -6140);
    // The block registered with the data holds the conversions they are, not those planned.
    EXPECT_EQ(doc.RegisteredParams().TotalSamples, kept);
    EXPECT_EQ(b.frame.Count(false, WM_DOC_UPDATE, HintRecordingDone), 1);
    EXPECT_EQ(b.frame.RegisteredRequests()[0].Scans, kept);
}

// One acquisition at a time; stopped while it waits for the trigger, a run changes nothing. (The
// card link's test times the 200 ms poll the stop is seen within.)
TEST(AcquisitionModeTest, OneAtATimeAndStoppedBeforeAnyScan) {
    for (const bool recording : {false, true}) {
        CZefraKrgDoc doc;
        CZefraKrgDoc other;
        Bench b(0);
        doc.SetWorking(Block({6}, 1000), NeverTrigger);
        ASSERT_TRUE(recording ? b.runner.ToggleRecording(doc) : b.runner.ToggleOscilloscope(doc));
        EXPECT_FALSE(b.runner.ToggleOscilloscope(other));
        EXPECT_FALSE(b.runner.ToggleRecording(other));
        ASSERT_TRUE(b.frame.WaitForStatus(StatusTriggering));
        ASSERT_TRUE(b.Run(doc, recording));  // the same command stops it
        EXPECT_EQ(Left(b, doc), std::tuple(0u, 0u, 0u, 0u));
        EXPECT_EQ(std::tuple(b.frame.Count(true, WM_DOC_UPDATE, HintNewShot),
                             b.frame.Count(false, WM_DOC_UPDATE, HintRecordingDone),
                             b.frame.Count(true, WM_ACQ_ENDED, 0)),
                  std::tuple(0, 0, 1));
        EXPECT_TRUE(b.folder.Entries().empty());
    }
}

// Runs body in a child process; its exit status, or minus the signal that ended it.
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// Limits the process's data to what it uses now plus extra bytes.
void LimitData(uint64_t extra) {
    uint64_t kib = 0;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            unsigned long long value = 0;
            if (std::sscanf(line, "VmData: %llu kB", &value) == 1) {
                kib = value;
            }
        }
        std::fclose(status);
    }
    const rlimit limit{kib * 1024 + extra, kib * 1024 + extra};
    ::setrlimit(RLIMIT_DATA, &limit);
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

TEST(RecordingDiskTest, ARecordingLargerThanTheDataLimitCompletes) {
    if (Sanitized) {
        GTEST_SKIP() << "the sanitizers' own memory counts against the limit";
    }
    filetest::TempFolder folder;
    const std::string path = folder.File("duzy.kgd");
    // 64 MB of samples under 24 MB more data than the process has now.
    const int status = InChild([&] {
        CZefraKrgDoc doc;
        Bench b;
        b.runner.SetRecordingPlace({path, {}, {}, {}});
        doc.SetWorking(Block({0, 1, 2, 3, 4, 5, 6, 7}, 16'000'000), TriggerParams{});
        LimitData(24u << 20);
        b.Run(doc, true);
        return b.frame.MessageBoxes().empty() ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    CZefraKrgDoc back;
    ASSERT_TRUE(OpenDocument(back, path).Ok());
    EXPECT_EQ(back.SampleCount[back.CurrentSet.load()], 2'000'000u);
}

// The first 4-byte word of the header that says how many scans follow.
uint32_t HeaderCount(const std::string& path) {
    const std::vector<uint8_t> bytes = filetest::ReadBytes(path);
    return bytes.size() >= 84 ? filetest::U32At(bytes, 80) : 0;
}

TEST(RecordingDiskTest, AKilledRecordingIsFoundAndOpensWithEveryFlushedScan) {
    filetest::TempFolder folder;
    const AcquisitionParams block = Block({0, 5, 6}, 300'000'000);
    const pid_t child = ::fork();
    if (child == 0) {
        CZefraKrgDoc doc;
        Bench b;
        std::filesystem::remove(b.folder.Path);  // never removed by a killed process
        b.runner.SetRecordingPlace({"", folder.Path.string(), {}, {}});
        doc.SetWorking(block, TriggerParams{});
        b.Run(doc, true);
        ::_exit(0);
    }
    // Killed once the file has been flushed with scans in it.
    std::string path;
    for (int i = 0; i < 2000 && (path.empty() || HeaderCount(path) == 0); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::vector<std::string> files = folder.Entries();
        path = files.empty() ? "" : folder.File(files[0]);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_FALSE(path.empty());

    ASSERT_EQ(FindInterruptedRecordings(folder.Path.string()), std::vector<std::string>{path});
    CZefraKrgDoc doc;
    ASSERT_TRUE(OpenInterruptedRecording(doc, path).Ok());
    EXPECT_TRUE(doc.Modified.load());
    const uint32_t scans = doc.SampleCount[doc.CurrentSet.load()];
    ASSERT_GT(scans, 0u);
    // What followed the last flush went: the file ends with the scans it counts.
    EXPECT_EQ(std::filesystem::file_size(path), 378u + uint64_t{scans} * 12);
    // Every scan the file counts is the one the card sent: the same run, stopped there.
    CZefraKrgDoc same;
    Bench b;
    same.SetWorking(Block({0, 5, 6}, 3 * scans), TriggerParams{});
    ASSERT_TRUE(b.Run(same, true));
    EXPECT_EQ(Saved(doc), Saved(same));

    // Held by this program now: no other start offers it, nor can it remove it.
    EXPECT_TRUE(FindInterruptedRecordings(folder.Path.string()).empty());
    EXPECT_FALSE(RemoveInterruptedRecording(path));
    // One the user declines is removed.
    const std::string declined = folder.File("rejestracja-odrzucona.kgd");
    std::filesystem::copy_file(path, declined);
    EXPECT_TRUE(RemoveInterruptedRecording(declined));
    // Closed without saving, the recording goes.
    doc.DeleteContents();
    EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
}  // namespace kresograf
