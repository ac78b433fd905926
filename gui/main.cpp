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

// Draws or prints a document without a screen: draw gets the stored settings and says why it
// failed. The spectrum window needs a QApplication, pictures and pages a QGuiApplication.
template <typename App, typename Draw>
int Offscreen(int argc, char** argv, const Draw& draw) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    kresograf::InitTranslations(kresograf::FindCatalogueRoot());
    kresograf::SetApplicationIdentity();
    QSettings settings;
    kresograf::QtSettingsStore store(settings);
    kresograf::SettingsRecord record;
    record.Load(store);
    QString error;
    if (!draw(record, error)) {
        std::fprintf(stderr, "kresograf: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

QString Name(const std::string& name) {
    return QString::fromLocal8Bit(name.c_str());
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
    const QSize size(options.RenderWidth, options.RenderHeight);
    if (options.Render) {
        return Offscreen<QGuiApplication>(argc, argv, [&](const auto& record, QString& error) {
            return kresograf::RenderDocumentFile(Name(options.RenderInput),
                                                 Name(options.RenderOutput), size, record, error);
        });
    }
    if (options.Print) {
        const QPageSize::PageSizeId paper =
            options.Paper == kresograf::PaperSize::Letter ? QPageSize::Letter : QPageSize::A4;
        return Offscreen<QGuiApplication>(argc, argv, [&](const auto& record, QString& error) {
            return kresograf::PrintDocumentFile(Name(options.PrintInput), Name(options.PrintOutput),
                                                paper, record, error);
        });
    }
    if (options.RenderSpectrum) {
        return Offscreen<QApplication>(argc, argv, [&](const auto& record, QString& error) {
            return kresograf::RenderSpectrumFile(Name(options.RenderInput),
                                                 Name(options.RenderOutput), size,
                                                 options.SpectrumChannel, record, error);
        });
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
