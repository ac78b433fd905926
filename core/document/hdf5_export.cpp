#include "document/hdf5_export.h"

#include <hdf5.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cmath>
#include <future>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "base/acquisition_params.h"
#include "document/registered_params.h"

namespace kresograf {
namespace {

// Rows per chunk. A chunk holds one input's column, 512 kB of volts: one signal's values side
// by side compress twice as fast and twice as small as rows of all inputs, and a reader of one
// input reads only its own chunks.
constexpr uint32_t ChunkScans = 65536;
// deflate's fastest level after the shuffle: the volts are small integers over 4096, whose low
// bytes are all zero and compress at once; higher levels cost twice the time for a few per cent.
constexpr int DeflateLevel = 1;
// Threads that pack a block's chunks at once: helpers and the caller.
constexpr unsigned MaxPackers = 4;

// An HDF5 identifier closed when it goes out of scope.
class Id {
  public:
    Id(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
    ~Id() {
        if (id_ >= 0) {
            close_(id_);
        }
    }
    Id(const Id&) = delete;
    Id& operator=(const Id&) = delete;

    hid_t Get() const { return id_; }
    bool Ok() const { return id_ >= 0; }
    // Closes now and tells whether it worked (a file's close writes what is left).
    bool Close() {
        const hid_t id = id_;
        id_ = -1;
        return close_(id) >= 0;
    }

  private:
    hid_t id_;
    herr_t (*close_)(hid_t);
};

// The library prints its own error stack by default; the user hears the program's message instead.
class QuietErrors {
  public:
    QuietErrors() {
        H5Eget_auto2(H5E_DEFAULT, &function_, &data_);
        H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    }
    ~QuietErrors() { H5Eset_auto2(H5E_DEFAULT, function_, data_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

  private:
    H5E_auto2_t function_ = nullptr;
    void* data_ = nullptr;
};

// What the system said when the library failed; the library itself sets no errno of its own.
FileResult Failure() {
    return WriteFailure(errno != 0 ? errno : EIO);
}

// A chunked, shuffled and deflated float64 dataset of the given shape.
hid_t CreateDataset(hid_t file, const char* name, int rank, const hsize_t* dims,
                    const hsize_t* chunk) {
    Id space(H5Screate_simple(rank, dims, nullptr), H5Sclose);
    Id properties(H5Pcreate(H5P_DATASET_CREATE), H5Pclose);
    if (!space.Ok() || !properties.Ok() || H5Pset_chunk(properties.Get(), rank, chunk) < 0 ||
        H5Pset_shuffle(properties.Get()) < 0 ||
        H5Pset_deflate(properties.Get(), DeflateLevel) < 0) {
        return -1;
    }
    return H5Dcreate2(file, name, H5T_IEEE_F64LE, space.Get(), H5P_DEFAULT, properties.Get(),
                      H5P_DEFAULT);
}

// A chunk as the dataset's filters leave it on the disk, so chunks can be packed on several
// threads and handed to the library as they are.
struct PackedChunk {
    // Room for the largest a chunk can become; not cleared, only written.
    std::unique_ptr<uint8_t[]> Bytes;
    std::size_t Room = 0;
    std::size_t Size = 0;
};

// Packs chunks of `values` float64 values: their little-endian bytes shuffled (byte b of every
// value in plane b), then deflated in the zlib format. A chunk at the end of the dataset is packed
// whole, the rows beyond the end zero. One per thread; its deflate state is made once.
class ChunkPacker {
  public:
    explicit ChunkPacker(std::size_t values) : values_(values), planes_(new uint8_t[values * 8]) {
        ready_ = deflateInit(&stream_, DeflateLevel) == Z_OK;
    }
    ~ChunkPacker() {
        if (ready_) {
            deflateEnd(&stream_);
        }
    }
    ChunkPacker(const ChunkPacker&) = delete;
    ChunkPacker& operator=(const ChunkPacker&) = delete;

    template <class ValueAt>
    bool Pack(std::size_t count, ValueAt valueAt, PackedChunk& out) {
        for (std::size_t e = 0; e < count; ++e) {
            const auto bits = std::bit_cast<uint64_t>(static_cast<double>(valueAt(e)));
            for (std::size_t b = 0; b < 8; ++b) {
                planes_[b * values_ + e] = static_cast<uint8_t>(bits >> (8 * b));
            }
        }
        for (std::size_t b = 0; b < 8; ++b) {
            std::fill(&planes_[b * values_ + count], &planes_[(b + 1) * values_], 0);
        }
        if (!ready_ || deflateReset(&stream_) != Z_OK) {
            return false;
        }
        if (!out.Bytes) {
            out.Room = deflateBound(&stream_, static_cast<uLong>(values_ * 8));
            out.Bytes.reset(new uint8_t[out.Room]);
        }
        stream_.next_in = planes_.get();
        stream_.avail_in = static_cast<uInt>(values_ * 8);
        stream_.next_out = out.Bytes.get();
        stream_.avail_out = static_cast<uInt>(out.Room);
        if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) {
            return false;
        }
        out.Size = out.Room - stream_.avail_out;
        return true;
    }

  private:
    std::size_t values_;
    std::unique_ptr<uint8_t[]> planes_;
    z_stream stream_{};
    bool ready_ = false;
};

bool Attribute(hid_t location, const char* name, hid_t fileType, hid_t memoryType, hsize_t length,
               const void* value) {
    Id space(length == 0 ? H5Screate(H5S_SCALAR) : H5Screate_simple(1, &length, nullptr), H5Sclose);
    if (!space.Ok()) {
        return false;
    }
    Id attribute(H5Acreate2(location, name, fileType, space.Get(), H5P_DEFAULT, H5P_DEFAULT),
                 H5Aclose);
    return attribute.Ok() && H5Awrite(attribute.Get(), memoryType, value) >= 0;
}

// A UTF-8 text of any length, as h5py, MATLAB and Julia read it back as a string.
bool TextAttribute(hid_t location, const char* name, const std::string& text) {
    Id type(H5Tcopy(H5T_C_S1), H5Tclose);
    if (!type.Ok() || H5Tset_size(type.Get(), H5T_VARIABLE) < 0 ||
        H5Tset_cset(type.Get(), H5T_CSET_UTF8) < 0) {
        return false;
    }
    const char* value = text.c_str();
    return Attribute(location, name, type.Get(), type.Get(), 0, &value);
}

bool Attributes(hid_t file, const ExportTable& table, const std::string& sourceName) {
    const AcquisitionParams& params = table.Registered();
    std::vector<int32_t> inputs;
    for (const uint32_t input : table.Inputs()) {
        inputs.push_back(static_cast<int32_t>(input + 1));
    }
    const uint64_t periods = table.PeriodsPerTick();
    const double rate = periods == 0
                            ? std::numeric_limits<double>::quiet_NaN()
                            : static_cast<double>(CardClockHz) / static_cast<double>(periods);
    const int32_t singleEnded = params.SingleEnded;
    return Attribute(file, "inputs", H5T_STD_I32LE, H5T_NATIVE_INT32, inputs.size(),
                     inputs.data()) &&
           Attribute(file, "rate_hz", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, 0, &rate) &&
           Attribute(file, "divisor", H5T_STD_U32LE, H5T_NATIVE_UINT32, 0, &params.Divisor) &&
           Attribute(file, "prescaler", H5T_STD_U32LE, H5T_NATIVE_UINT32, 0, &params.Prescaler) &&
           Attribute(file, "single_ended", H5T_STD_I32LE, H5T_NATIVE_INT32, 0, &singleEnded) &&
           TextAttribute(file, "trigger", RegisteredTriggerText(table.Trigger())) &&
           TextAttribute(file, "source_file", sourceName);
}

}  // namespace

FileResult WriteHdf5(const ExportTable& table, const std::string& path,
                     const std::string& sourceName, const ExportProgress& progress,
                     const WriteFault& fault) {
    const QuietErrors quiet;
    errno = 0;
    Id file(H5Fcreate(path.c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT), H5Fclose);
    if (!file.Ok()) {
        return Failure();
    }
    const hsize_t scans = table.Scans();
    const hsize_t columns = table.Columns();
    const hsize_t chunkScans = std::max<hsize_t>(1, std::min<hsize_t>(ChunkScans, scans));
    const hsize_t voltsDims[2] = {scans, columns};
    const hsize_t voltsChunk[2] = {chunkScans, 1};
    Id volts(CreateDataset(file.Get(), "volts", 2, voltsDims, voltsChunk), H5Dclose);
    Id time(CreateDataset(file.Get(), "time", 1, &scans, &chunkScans), H5Dclose);
    if (!volts.Ok() || !time.Ok() || !Attributes(file.Get(), table, sourceName)) {
        return Failure();
    }

    // Packing is most of the work. A block is one row of chunks, the times and each input's
    // volts; the threads share them out, the caller being one of them.
    const std::size_t jobs = columns + 1;
    const auto threads = static_cast<unsigned>(std::min<std::size_t>(
        jobs, std::clamp(std::thread::hardware_concurrency(), 1u, MaxPackers)));
    std::vector<std::unique_ptr<ChunkPacker>> packers;
    for (unsigned t = 0; t < threads; ++t) {
        packers.push_back(std::make_unique<ChunkPacker>(chunkScans));
    }
    std::vector<PackedChunk> packed(jobs);
    uint64_t written = 0;
    FileResult result = table.Walk(
        static_cast<uint32_t>(chunkScans), progress, [&](const ExportBlock& block) -> FileResult {
            const std::size_t bytes = std::size_t{block.Count} * columns * sizeof(double);
            if (fault) {
                if (const int injected = fault(written, bytes); injected != 0) {
                    return WriteFailure(injected);
                }
            }
            // Job 0 is the times, the dearest (all of their bytes vary), then each input's
            // volts; a thread takes the next job left, so the threads finish together. A sample
            // over 4096 is a double as it stands; clock periods below 2^53 give the seconds
            // correctly rounded.
            const auto pack = [&](std::size_t job, ChunkPacker& packer) {
                if (job == 0) {
                    return packer.Pack(
                        block.Count,
                        [&](std::size_t i) {
                            return static_cast<double>(table.PeriodsOf(block.Ticks[i])) /
                                   static_cast<double>(CardClockHz);
                        },
                        packed[0]);
                }
                return packer.Pack(
                    block.Count,
                    [&](std::size_t i) { return block.Samples[i * columns + job - 1] / 4096.0; },
                    packed[job]);
            };
            std::atomic<std::size_t> next{0};
            const auto share = [&](unsigned t) {
                bool ok = true;
                for (std::size_t job = next++; job < jobs; job = next++) {
                    ok = pack(job, *packers[t]) && ok;
                }
                return ok;
            };
            std::vector<std::future<bool>> helpers;
            for (unsigned t = 1; t < threads; ++t) {
                try {
                    helpers.push_back(std::async(std::launch::async, share, t));
                } catch (const std::system_error&) {
                    // No thread to be had: the caller takes the jobs it would have taken.
                    break;
                }
            }
            bool ok = share(0);
            for (auto& helper : helpers) {
                ok = helper.get() && ok;
            }
            if (!ok) {
                return WriteFailure(ENOMEM);
            }
            errno = 0;
            for (std::size_t job = 0; job < jobs; ++job) {
                const hsize_t offset[2] = {block.First, job == 0 ? 0 : job - 1};
                const hid_t dataset = job == 0 ? time.Get() : volts.Get();
                if (H5Dwrite_chunk(dataset, H5P_DEFAULT, 0, offset, packed[job].Size,
                                   packed[job].Bytes.get()) < 0) {
                    return Failure();
                }
            }
            written += bytes;
            return {};
        });
    if (!result.Ok()) {
        return result;
    }
    errno = 0;
    if (!volts.Close() || !time.Close() || !file.Close()) {
        return Failure();
    }
    return {};
}

}  // namespace kresograf
