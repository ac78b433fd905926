#include "shell/help_loader.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "shell/shell_texts.h"

namespace kresograf {

HelpLoader::HelpLoader(QString programPath, Opener opener)
    : programPath_(std::move(programPath)), opener_(std::move(opener)) {
    if (!opener_) {
        opener_ = [](const QString& path) {
            return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        };
    }
}

QStringList HelpLoader::Candidates() const {
    const QFileInfo program(programPath_);
    const QDir folder = program.absoluteDir();
    QStringList candidates;
    candidates << folder.filePath(program.completeBaseName() + QStringLiteral(".chm"));
    const QString named = folder.filePath(QString::fromUtf8(texts::HelpFileName));
    if (!candidates.contains(named)) {
        candidates << named;
    }
    return candidates;
}

bool HelpLoader::ShowHelp() {
    for (const QString& path : Candidates()) {
        const QFileInfo info(path);
        if (info.isFile() && info.isReadable()) {
            return opener_(path);
        }
    }
    return false;
}

}  // namespace kresograf
