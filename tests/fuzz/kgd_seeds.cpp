// Writes the fuzzer's seed files: an empty document and a small one with three inputs.
#include <cstdio>
#include <string>

#include "document/kgd_file.h"

int main(int argc, char** argv) {
    using namespace kresograf;
    if (argc != 2) {
        std::fprintf(stderr, "usage: kgd_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    CZefraKrgDoc empty;
    CZefraKrgDoc small;
    small.ResizeSet(1, 16);
    small.CurrentSet = 1;
    small.ChannelPresent[1] = {1, 0, 1, 0, 0, 0, 1, 0};
    for (uint32_t i = 0; i < 16; ++i) {
        for (uint32_t c = 0; c < 8; ++c) {
            small.Samples[1][c][i] = static_cast<int32_t>(i * 10 - c * 100);
        }
    }
    small.SampleCount[1] = 16;
    TriggerParams trigger;
    trigger.Edge = EdgeRising;
    trigger.ThresholdVolts = 0.5f;
    AcquisitionParams params;
    params.ChannelCount = 3;
    params.Channels = {0, 2, 6};
    small.Register(params, trigger);
    if (!SaveDocument(empty, folder + "/empty.kgd").Ok() ||
        !SaveDocument(small, folder + "/small.kgd").Ok()) {
        std::fprintf(stderr, "kgd_seeds: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
