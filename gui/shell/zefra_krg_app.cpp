#include "gui/shell/zefra_krg_app.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>

#include "base/translation.h"
#include "card/direct_port_io.h"
#include "card/simulated_card.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/splash_window.h"
#include "shell/shell_texts.h"

namespace kresograf {

void SetApplicationIdentity() {
    QCoreApplication::setOrganizationName(QStringLiteral("ZEFRA"));
    QCoreApplication::setApplicationName(QString::fromUtf8(texts::DocumentName));
}

CZefraKrgApp::CZefraKrgApp(int& argc, char** argv) : QApplication(argc, argv) {
    SetApplicationIdentity();
    // No display name: Qt would append it to every top-level title ("… — Kresograf dla QB730"),
    // and dialogs and tool windows carry exactly their own captions.
    setQuitOnLastWindowClosed(true);
    // The application object has set the C locale from the environment again: choose the
    // language and keep numbers in the C form. Qt's own dialogs speak the program's language
    // (Polish unless a catalogue of the user's language is in use; Qt's own texts are English).
    InitTranslations(FindCatalogueRoot());
    const std::string language = CurrentLanguage();
    if (language != "en" &&
        qtTexts_.load(QStringLiteral("qtbase_") + QString::fromStdString(language),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(&qtTexts_);
    }
}

CZefraKrgApp::~CZefraKrgApp() {
    mainFrame_.reset();
}

bool CZefraKrgApp::InitInstance(const StartOptions& options) {
    SplashWindow::EnableSplash(options.Splash);
    settings_ = std::make_unique<QSettings>();

    // The card's address: the command line's for this run, else the stored one.
    QtSettingsStore store(*settings_);
    const uint32_t address =
        options.Card.Address.value_or(store.ReadInt("Device", "Address", DefaultPortAddress));
    std::unique_ptr<PortIo> card;
    if (options.Card.Kind == CardKind::Ports) {
        UserMessage error;
        card = DirectPortIo::Open(address, error);
        if (!card) {
            QMessageBox::critical(nullptr, QString::fromStdString(error.Title),
                                  QString::fromStdString(error.Text));
            return false;
        }
    } else {
        card = std::make_unique<SimulatedCard>(clock_, address);
    }

    mainFrame_ =
        std::make_unique<CMainFrame>(*settings_, std::move(card), clock_, options.Card.Address);
    mainFrame_->RestoreWindowState();
    mainFrame_->show();
    if (options.File.empty()) {
        mainFrame_->NewDocument();
    } else if (mainFrame_->OpenDocumentFile(QString::fromLocal8Bit(options.File.c_str())) ==
               nullptr) {
        return false;
    }
    // Once the main window is up and the event loop runs.
    QTimer::singleShot(0, mainFrame_.get(),
                       [frame = mainFrame_.get()] { frame->OfferInterruptedRecordings(); });
    return true;
}

}  // namespace kresograf
