#include "document/recording_writer.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <new>

#include "base/fixed_format.h"
#include "base/translation.h"

namespace kresograf {
namespace {

// The ring holds about this much, rounded down to a power of two of scans: seconds of a fast
// recording, so a disk that stalls for a moment loses nothing.
constexpr std::size_t RingBytes = std::size_t{4} << 20;
constexpr auto WakeEvery = std::chrono::milliseconds(20);
constexpr auto FlushEvery = std::chrono::seconds(1);

uint32_t RingScansFor(uint32_t inputs, uint32_t planned) {
    uint32_t scans = 1;
    while (scans < planned && uint64_t{scans} * 2 * inputs * 4 <= RingBytes) {
        scans *= 2;
    }
    return scans;
}

std::string Megabytes(uint64_t bytes) {
    return FormatFixed(static_cast<double>(bytes) / (1024.0 * 1024.0), 1) + " MB";
}

}  // namespace

std::optional<uint64_t> FreeDiskBytes(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return uint64_t{info.f_bavail} * info.f_frsize;
}

UserMessage NoDiskRoomMessage(uint64_t needed, uint64_t available, const std::string& folder) {
    return {Tr("Brak miejsca na dysku"),
            FillText(Tr("Rejestracja nie zmieści się na dysku: potrzebuje %s, a w folderze %s "
                        "wolne jest %s."),
                     {Megabytes(needed), folder, Megabytes(available)}),
            MessageIcon::Stop};
}

UserMessage RecordingWriteMessage(int error) {
    const bool full = error == ENOSPC || error == EDQUOT || error == EFBIG;
    return {Tr("Błąd zapisu pliku"),
            full ? Tr("Brak miejsca na dysku. Rejestrację zakończono; dane zapisane do tej chwili "
                      "zostały zachowane.")
                 : Tr("Wystąpił błąd podczas zapisu do pliku. Rejestrację zakończono; dane "
                      "zapisane do tej chwili zostały zachowane."),
            MessageIcon::Stop};
}

UserMessage OutOfMemoryMessage() {
    return {Tr("Brak pamięci"), Tr("Zbyt mało pamięci w celu zachowania danych."),
            MessageIcon::Stop};
}

std::unique_ptr<RecordingWriter> RecordingWriter::Create(const Plan& plan,
                                                         std::atomic<uint32_t>& published,
                                                         std::atomic<uint32_t>& run,
                                                         UserMessage& message) {
    std::unique_ptr<RecordingWriter> writer(new RecordingWriter());
    writer->plan_ = plan;
    writer->published_ = &published;
    writer->run_ = &run;
    uint32_t inputs = 0;
    for (uint32_t flag : plan.Present) {
        inputs += flag != 0 ? 1 : 0;
    }
    writer->inputs_ = std::max(1u, inputs);
    const uint64_t length =
        RecordingFile::DataOffset + uint64_t{plan.PlannedScans} * writer->inputs_ * sizeof(int32_t);

    const std::string folder =
        plan.Place.Path.empty() ? plan.Place.Folder : FolderOf(ResolveLink(plan.Place.Path));
    int error = 0;
    auto file = RecordingFile::Create(plan.Place, plan.Header, writer->inputs_, error);
    if (file == nullptr) {
        message = *WriteFailure(error).Message;
        return nullptr;
    }
    // The disk is asked once the folder surely exists: the whole planned run must fit.
    const std::optional<uint64_t> available =
        plan.Place.FreeSpace ? plan.Place.FreeSpace(folder) : FreeDiskBytes(folder);
    if (available && length > *available) {
        message = NoDiskRoomMessage(length, *available, folder);
        return nullptr;
    }
    writer->file_ = std::move(file);

    auto mapping = MappedFile::Map(writer->file_->Descriptor(), length, error);
    const uint32_t ringScans = RingScansFor(writer->inputs_, plan.PlannedScans);
    const std::size_t ringEntries = std::size_t{ringScans} * writer->inputs_;
    if (mapping == nullptr || (plan.Allocation && !plan.Allocation(ringEntries))) {
        message = OutOfMemoryMessage();
        return nullptr;
    }
    writer->ring_.reset(new (std::nothrow) int32_t[ringEntries]);
    try {
        writer->store_ = std::make_shared<ScanStore>(std::move(mapping), RecordingFile::DataOffset,
                                                     plan.Present);
        writer->store_->LayoutSummaries(plan.PlannedScans);
    } catch (const std::bad_alloc&) {
        writer->store_.reset();
    }
    if (writer->ring_ == nullptr || writer->store_ == nullptr) {
        message = OutOfMemoryMessage();
        return nullptr;
    }
    writer->ringScans_ = ringScans;
    writer->store_->File = writer->file_;
    published.store(0, std::memory_order_release);
    if (!writer->thread_.Start([w = writer.get()] { w->Loop(); })) {
        message = OutOfMemoryMessage();
        return nullptr;
    }
    return writer;
}

RecordingWriter::~RecordingWriter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.Join();
}

void RecordingWriter::Loop() {
    auto lastFlush = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (!stop_) {
        wake_.wait_for(lock, WakeEvery, [this] { return stop_; });
        if (stop_) {
            break;
        }
        lock.unlock();
        Drain();
        const auto now = std::chrono::steady_clock::now();
        if (error_ == 0 && now - lastFlush >= FlushEvery) {
            if ((error_ = Flush()) != 0) {
                run_->store(0);
            }
            lastFlush = now;
        }
        lock.lock();
    }
}

void RecordingWriter::Drain() {
    const uint32_t stored = stored_.load(std::memory_order_acquire);
    while (error_ == 0 && written_ < stored) {
        const uint32_t slot = written_ & (ringScans_ - 1);
        const uint32_t n = std::min(stored - written_, ringScans_ - slot);
        error_ = file_->Append(
            reinterpret_cast<const uint8_t*>(ring_.get() + std::size_t{slot} * inputs_), n);
        // After a failure the file keeps its whole scans, and the run stops.
        const uint32_t whole = file_->Scans();
        if (whole > written_) {
            store_->Summarise(whole);
            store_->Publish(whole);
            published_->store(whole, std::memory_order_release);
        }
        written_ = whole;
        consumed_.store(written_, std::memory_order_release);
        if (error_ != 0) {
            run_->store(0);
        }
    }
}

int RecordingWriter::Flush() {
    const uint64_t conversions = uint64_t{written_} * plan_.ConversionsPerScan;
    return file_->Flush(static_cast<uint32_t>(std::min<uint64_t>(conversions, plan_.TotalSamples)));
}

uint32_t RecordingWriter::Finish(int& error) {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.Join();
    Drain();
    error = error_;
    if (const int flushed = Flush(); flushed != 0) {
        if (error == 0) {
            error = flushed;
        }
        // Only what a flush before made durable is counted in the file's header.
        return file_->DurableScans();
    }
    return file_->Scans();
}

}  // namespace kresograf
