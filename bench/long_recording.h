#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "document/kgd_file.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

// Makes a recording of eight inputs the shown set, held as the program holds one: its .kgd file
// read in place (the file is removed at once; the mapping keeps it). Each input a different slow
// sine with some fast ripple, scans 8 units apart at 95 000 Hz.
inline void FillLongRecording(CZefraKrgDoc& doc, uint32_t set, uint32_t scans) {
    AcquisitionParams params;
    params.Divisor = 84;
    params.ChannelCount = 8;
    params.Channels = {0, 1, 2, 3, 4, 5, 6, 7};
    params.TotalSamples = scans * 8;
    std::array<std::array<uint32_t, 8>, 2> present{};
    present[0].fill(1);
    present[1].fill(1);
    const FileHeaderBytes header = FileHeaderOf(set, present, scans, params, TriggerParams{});

    std::string path = (std::filesystem::temp_directory_path() / "kresograf-bench-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    std::FILE* out = ::fdopen(fd, "wb");
    std::fwrite(header.data(), 1, header.size(), out);
    std::vector<int32_t> row(8 * 65536);
    for (uint32_t first = 0; first < scans; first += 65536) {
        const uint32_t n = std::min<uint32_t>(65536, scans - first);
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t k = first + i;
            for (int c = 0; c < 8; ++c) {
                const double period = 200'000.0 * (c + 1);
                row[8 * i + c] =
                    static_cast<int32_t>(12000.0 * std::sin(2 * std::numbers::pi * k / period) +
                                         800.0 * std::sin(k * 0.37 + c));
            }
        }
        std::fwrite(row.data(), 4, std::size_t{n} * 8, out);
    }
    std::fclose(out);
    if (!OpenDocument(doc, path).Ok()) {
        std::abort();
    }
    ::unlink(path.c_str());
}

// The same samples in a set held in memory, as an oscilloscope shot fills one.
inline void FillShotSet(CZefraKrgDoc& doc, uint32_t set, uint32_t scans) {
    doc.ResizeSet(set, scans);
    for (uint32_t k = 0; k < scans; ++k) {
        doc.ScanTime[set][k] = static_cast<int32_t>(k * 8);
    }
    for (int c = 0; c < 8; ++c) {
        int32_t* samples = doc.Samples[set][c].Data();
        const double period = 200'000.0 * (c + 1);
        for (uint32_t k = 0; k < scans; ++k) {
            samples[k] =
                static_cast<int32_t>(12000.0 * std::sin(2 * std::numbers::pi * k / period) +
                                     800.0 * std::sin(k * 0.37 + c));
        }
    }
    AcquisitionParams params;
    params.Divisor = 84;
    params.ChannelCount = 8;
    params.Channels = {0, 1, 2, 3, 4, 5, 6, 7};
    params.TotalSamples = scans * 8;
    doc.Register(params, TriggerParams{});
    doc.ChannelPresent[set].fill(1);
    doc.SampleCount[set] = scans;
    doc.CurrentSet = set;
}

}  // namespace kresograf
