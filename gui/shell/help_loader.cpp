#include "gui/shell/help_loader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <memory>

#include "base/translation.h"

namespace kresograf {

HelpLoader::HelpLoader(QString programPath, QString installedFolder, Opener opener)
    : programPath_(std::move(programPath)),
      installedFolder_(std::move(installedFolder)),
      opener_(std::move(opener)) {}

QStringList HelpLoader::Candidates() const {
    const QString index = QStringLiteral("index.html");
    QStringList candidates;
    candidates << QFileInfo(programPath_).absoluteDir().filePath(QStringLiteral("help/") + index);
    if (!installedFolder_.isEmpty()) {
        candidates << QDir(installedFolder_).filePath(index);
    }
    return candidates;
}

void HelpLoader::ShowHelp(const Done& done) const {
    for (const QString& path : Candidates()) {
        const QFileInfo info(path);
        if (info.isFile() && info.isReadable()) {
            opener_(QUrl::fromLocalFile(info.absoluteFilePath()), done);
            return;
        }
    }
    done(false);
}

QString HelpLoader::InstalledFolder() {
    return QStringLiteral(KRESOGRAF_HELP_DIR);
}

HelpLoader::Opener HelpLoader::DesktopOpener() {
    return [](const QUrl& page, Done done) {
        auto* process = new QProcess();
        // Exactly one answer, whichever of the two signals comes first.
        auto answer = std::make_shared<Done>(std::move(done));
        auto finish = [process, answer](bool opened) {
            if (*answer) {
                Done once = std::move(*answer);
                *answer = nullptr;
                once(opened);
            }
            process->deleteLater();
        };
        QObject::connect(process, &QProcess::finished, process,
                         [finish](int code, QProcess::ExitStatus status) {
                             finish(status == QProcess::NormalExit && code == 0);
                         });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [finish](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart) {
                                 finish(false);
                             }
                         });
        // The browser speaks the user's languages, not the one this program chose.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (const std::optional<std::string> languages = UserLanguageList()) {
            environment.insert(QStringLiteral("LANGUAGE"), QString::fromStdString(*languages));
        } else {
            environment.remove(QStringLiteral("LANGUAGE"));
        }
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral("xdg-open"), {page.toString()});
    };
}

}  // namespace kresograf
