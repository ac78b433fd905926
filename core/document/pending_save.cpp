#include "document/pending_save.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "base/translation.h"
#include "document/kgd_file.h"

namespace kresograf {

PendingSave::PendingSave(std::string path, WriteFault fault)
    : file_(std::move(path), std::move(fault)) {}

FileResult PendingSave::Open() {
    if (const int error = file_.Open(); error != 0) {
        return WriteFailure(error);
    }
    return {};
}

FileResult PendingSave::Finish(const CZefraKrgDoc& doc) {
    FileResult result = SaveToArchive(doc, file_);
    if (result.Ok()) {
        if (const int error = file_.Commit(); error != 0) {
            result = WriteFailure(error);
        }
    }
    if (!result.Ok()) {
        const std::string rescue = RescueFileName();
        if (SaveDocument(doc, rescue).Ok()) {
            rescuePath_ = rescue;
        }
    }
    return result;
}

std::string RescueFileName() {
    static std::atomic<uint32_t> serial{0};
    const char* folder = std::getenv("TMPDIR");
    std::string name = (folder != nullptr && *folder != '\0') ? folder : "/tmp";
    if (name.back() != '/') {
        name += '/';
    }
    return name + "kresograf-" + std::to_string(static_cast<long long>(std::time(nullptr))) + "-" +
           std::to_string(::getpid()) + "-" + std::to_string(serial.fetch_add(1)) + ".kgd";
}

std::string RescuedText(const std::string& path) {
    return FillText(Tr("Dane zapisano w pliku awaryjnym: %s"), {path});
}

}  // namespace kresograf
