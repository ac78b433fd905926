#include "document/recordings_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "base/translation.h"
#include "document/kgd_file.h"
#include "document/recording_file.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A file no running program holds: its lock can be taken (and is given back at once).
bool Unheld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

}  // namespace

std::string DefaultRecordingsFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data != nullptr && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            const passwd* user = ::getpwuid(::getuid());
            home = user != nullptr ? user->pw_dir : "/";
        }
        base = std::string(home) + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base + "/kresograf/recordings";
}

std::vector<std::string> FindInterruptedRecordings(const std::string& folder) {
    std::vector<std::string> found;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || !EndsWith(name, ".kgd")) {
            continue;
        }
        const std::string path = folder + "/" + name;
        if (Unheld(path)) {
            found.push_back(path);
        }
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

FileResult OpenInterruptedRecording(CZefraKrgDoc& doc, const std::string& path) {
    FileResult result = OpenDocument(doc, path);
    if (!result.Ok()) {
        return result;
    }
    const uint32_t set = doc.CurrentSet.load();
    const auto store = doc.Store(set);
    int error = 0;
    auto file =
        RecordingFile::Adopt(path, FileHeaderOf(doc), store->Inputs(), doc.SampleCount[set], error);
    if (file == nullptr) {
        doc.DeleteContents();
        return FileResult{
            FileOpenError,
            UserMessage{Tr("Błąd odczytu pliku"),
                        FillText(Tr("Nie można otworzyć pliku %s."), {path}), MessageIcon::Stop}};
    }
    store->File = std::move(file);
    // Never saved by the user: closing it asks, as for any new recording.
    doc.Modified = true;
    return result;
}

bool RemoveInterruptedRecording(const std::string& path) {
    return Unheld(path) && ::unlink(path.c_str()) == 0;
}

}  // namespace kresograf
