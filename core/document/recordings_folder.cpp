#include "document/recordings_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
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

// Creates folder and its missing parents; false when one could not be made.
bool MakeFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Memory file systems: what they hold goes with a crash or a power cut.
constexpr long TmpfsMagic = 0x01021994;
constexpr long RamfsMagic = static_cast<long>(0x858458f6);

UserMessage FolderMessage(const char* text, const std::string& folder) {
    return UserMessage{Tr("Folder rejestracji"), FillText(text, {folder}),
                       MessageIcon::Exclamation};
}

}  // namespace

std::optional<UserMessage> PrepareRecordingsFolder(const std::string& folder) {
    if (folder.empty() || folder[0] != '/') {
        return FolderMessage(Tr("Folder rejestracji %s musi być podany pełną ścieżką."), folder);
    }
    std::string normal = folder;
    while (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    if (normal == "/tmp" || normal.rfind("/tmp/", 0) == 0) {
        return FolderMessage(Tr("Folder %s jest folderem tymczasowym, często trzymanym w "
                                "pamięci: rejestracja nie przetrwałaby awarii ani wyłączenia "
                                "komputera. Wybierz folder na dysku."),
                             normal);
    }
    // The file system of the folder, or of its nearest existing parent before it is made.
    std::string existing = normal;
    struct statfs disk {};
    while (::statfs(existing.c_str(), &disk) != 0 && errno == ENOENT && existing.size() > 1) {
        existing = existing.substr(0, std::max<size_t>(existing.find_last_of('/'), 1));
    }
    if (static_cast<long>(disk.f_type) == TmpfsMagic ||
        static_cast<long>(disk.f_type) == RamfsMagic) {
        return FolderMessage(Tr("Folder %s leży w pamięci komputera: rejestracja nie "
                                "przetrwałaby awarii ani wyłączenia komputera. Wybierz folder "
                                "na dysku."),
                             normal);
    }
    if (!MakeFolders(normal)) {
        return FolderMessage(Tr("Folder %s nie istnieje i nie można go utworzyć."), normal);
    }
    if (::access(normal.c_str(), W_OK | X_OK) != 0) {
        return FolderMessage(Tr("Nie można zapisywać w folderze %s."), normal);
    }
    return std::nullopt;
}

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
