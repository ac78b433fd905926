#include <QApplication>
#include <QGuiApplication>
#include <QSettings>
#include <cstdio>
#include <cstdlib>

#include "base/settings_record.h"
#include "base/translation.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/qt_settings_store.h"
#include "gui/shell/zefra_krg_app.h"
#include "gui/view/plot_print.h"
#include "gui/view/plot_render.h"
#include "gui/view/spectrum_window.h"
#include "shell/shell_texts.h"
#include "shell/start_options.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
    // Names stay as the system gave them; Qt reads them back through fromLocal8Bit.
    return std::vector<std::string>(argv + 1, argv + argc);
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int Render(int argc, char** argv, const kresograf::StartOptions& options) {
    // A picture needs fonts but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kresograf::InitTranslations(kresograf::FindCatalogueRoot());
    kresograf::SetApplicationIdentity();
    QSettings settings;
    kresograf::QtSettingsStore store(settings);
    kresograf::SettingsRecord record;
    record.Load(store);
    QString error;
    if (!kresograf::RenderDocumentFile(QString::fromLocal8Bit(options.RenderInput.c_str()),
                                       QString::fromLocal8Bit(options.RenderOutput.c_str()),
                                       QSize(options.RenderWidth, options.RenderHeight), record,
                                       error)) {
        std::fprintf(stderr, "kresograf: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

// Draws the spectrum window of one of a document's inputs, without a screen.
int RenderSpectrum(int argc, char** argv, const kresograf::StartOptions& options) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kresograf::InitTranslations(kresograf::FindCatalogueRoot());
    kresograf::SetApplicationIdentity();
    QSettings settings;
    kresograf::QtSettingsStore store(settings);
    kresograf::SettingsRecord record;
    record.Load(store);
    QString error;
    if (!kresograf::RenderSpectrumFile(QString::fromLocal8Bit(options.RenderInput.c_str()),
                                       QString::fromLocal8Bit(options.RenderOutput.c_str()),
                                       QSize(options.RenderWidth, options.RenderHeight),
                                       options.SpectrumChannel, record, error)) {
        std::fprintf(stderr, "kresograf: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

// Prints a document's page into a PDF exactly as the print command draws it, without a screen.
int Print(int argc, char** argv, const kresograf::StartOptions& options) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kresograf::InitTranslations(kresograf::FindCatalogueRoot());
    kresograf::SetApplicationIdentity();
    QSettings settings;
    kresograf::QtSettingsStore store(settings);
    kresograf::SettingsRecord record;
    record.Load(store);
    QString error;
    const QPageSize::PageSizeId paper =
        options.Paper == kresograf::PaperSize::Letter ? QPageSize::Letter : QPageSize::A4;
    if (!kresograf::PrintDocumentFile(QString::fromLocal8Bit(options.PrintInput.c_str()),
                                      QString::fromLocal8Bit(options.PrintOutput.c_str()), paper,
                                      record, error)) {
        std::fprintf(stderr, "kresograf: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    kresograf::InitTranslations(kresograf::FindCatalogueRoot());
    kresograf::StartOptions options;
    std::string error;
    if (!kresograf::ParseStartOptions(Arguments(argc, argv), options, error)) {
        std::fprintf(stderr, "kresograf: %s\n%s\n",
                     QString::fromStdString(error).toLocal8Bit().constData(),
                     QString::fromUtf8(kresograf::Tr(kresograf::texts::UsageText))
                         .toLocal8Bit()
                         .constData());
        return 2;
    }
    if (options.Render) {
        return Render(argc, argv, options);
    }
    if (options.Print) {
        return Print(argc, argv, options);
    }
    if (options.RenderSpectrum) {
        return RenderSpectrum(argc, argv, options);
    }
    if (!HasDisplay()) {
        std::fprintf(stderr, "kresograf: %s\n",
                     QString::fromUtf8(kresograf::Tr(kresograf::texts::NoDisplayText))
                         .toLocal8Bit()
                         .constData());
        return 1;
    }
    kresograf::CZefraKrgApp app(argc, argv);
    if (!app.InitInstance(options)) {
        return 1;
    }
    return app.exec();
}
