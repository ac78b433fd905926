#include "gui/shell/recent_file_list.h"

#include <QFileInfo>

namespace kresograf {
namespace {

const QString Section = QStringLiteral("Recent File List");

QString Canonical(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

RecentFileList::RecentFileList(QSettings& settings) : settings_(settings) {
    Load();
}

void RecentFileList::Add(const QString& path) {
    const QString file = Canonical(path);
    files_.removeAll(file);
    files_.prepend(file);
    while (files_.size() > Size) {
        files_.removeLast();
    }
    Store();
}

void RecentFileList::Remove(const QString& path) {
    if (files_.removeAll(Canonical(path)) > 0 || files_.removeAll(path) > 0) {
        Store();
    }
}

QString RecentFileList::MenuText(int index) const {
    QString name = QFileInfo(files_.value(index)).fileName();
    // A literal ampersand in a file name must not become a mnemonic.
    name.replace('&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

void RecentFileList::Load() {
    files_.clear();
    for (int i = 1; i <= Size; ++i) {
        const QString file = settings_.value(Section + QStringLiteral("/File%1").arg(i)).toString();
        if (!file.isEmpty() && !files_.contains(file)) {
            files_.append(file);
        }
    }
}

void RecentFileList::Store() {
    settings_.remove(Section);
    for (int i = 0; i < files_.size(); ++i) {
        settings_.setValue(Section + QStringLiteral("/File%1").arg(i + 1), files_[i]);
    }
}

}  // namespace kresograf
