#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "document/data_export.h"
#include "document/recording_file.h"
#include "document/scan_store.h"
#include "gui/document/export_dlg.h"
#include "gui/shell/command_table.h"
#include "gui/shell/properties_sheet.h"
#include "gui/view/zefra_krg_view.h"
#include "gui/widgets/channel_grid.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

// Acts on the modal dialog of type T once it runs.
template <class T>
void OnModal(std::function<void(T*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
            // A failed assertion left it open: the test fails instead of waiting for ever.
            if (dialog->isVisible()) {
                dialog->reject();
            }
        }
    });
    poll->start(10);
}

void Press(QWidget* dialog, const char* name) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton);
}

void ShowCardPage(CMyPropertySheet* sheet) {
    QTest::mouseClick(sheet->Tabs()->tabBar(), Qt::LeftButton, {},
                      sheet->Tabs()->tabBar()->tabRect(1).center());
}

using PropertiesTest = GuiTest;

TEST_F(PropertiesTest, OpensByKeyboardAndCancelChangesNothing) {
    GuiDocument* document = TakeShot();
    CZefraKrgView* view = document->Views.first();
    const QRgb red = qRgb(255, 0, 0);
    ASSERT_EQ(CountColor(view->BackBuffer(), view->rect(), red), 0);
    bool seen = false;
    OnModal<CMyPropertySheet>([&](CMyPropertySheet* sheet) {
        seen = true;
        sheet->Colors().SetChooser([](QWidget*, uint32_t) { return 0x0000FFu; });
        QTest::mouseClick(sheet->findChild<QPushButton*>("IDC_1010"), Qt::LeftButton);
        Press(sheet, "IDCANCEL");
    });
    QTest::keyClick(frame_.get(), Qt::Key_N, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_O);
    ASSERT_TRUE(WaitFor([&] { return seen; }));
    EXPECT_EQ(frame_->Settings().ChannelColors[0], DefaultChannelColors[0]);
    EXPECT_FALSE(settings_->contains("App/Color0"));

    // The same colour with OK: stored, and the open plot redrawn in it.
    OnModal<CMyPropertySheet>([&](CMyPropertySheet* sheet) {
        sheet->Colors().SetChooser([](QWidget*, uint32_t) { return 0x0000FFu; });
        sheet->Colors().ChooseColor();
        Press(sheet, "IDOK");
    });
    frame_->RunCommand(ID_PROPERTIES);
    EXPECT_EQ(settings_->value("App/Color0").toUInt(), 0x0000FFu);
    EXPECT_GT(CountColor(view->BackBuffer(), view->rect(), red), 0);
}

TEST_F(PropertiesTest, CardPageAddressAndGainsWhichChangeForTheCardBetweenAcquisitions) {
    frame_->Settings().PortAddress = 0x105;
    // Never shown: the address stays as it was, even through OK.
    OnModal<CMyPropertySheet>([](CMyPropertySheet* sheet) { Press(sheet, "IDOK"); });
    frame_->RunCommand(ID_PROPERTIES);
    EXPECT_EQ(frame_->Settings().PortAddress, 0x105u);

    OnModal<CMyPropertySheet>([](CMyPropertySheet* sheet) {
        ShowCardPage(sheet);
        EXPECT_EQ(sheet->Card().AddressList()->currentIndex(), 16);  // "100 - 109"
        Press(sheet, "IDOK");
    });
    frame_->RunCommand(ID_PROPERTIES);
    EXPECT_EQ(frame_->Settings().PortAddress, 0x100u);

    OnModal<CMyPropertySheet>([](CMyPropertySheet* sheet) {
        ShowCardPage(sheet);
        QComboBox* addresses = sheet->Card().AddressList();
        addresses->setCurrentIndex(addresses->count() - 1);
        ClickGridButton(*sheet->Card().Grid(), 2);
        ChannelGridPopup* popup = sheet->Card().Grid()->Popup();
        ASSERT_NE(popup, nullptr);
        const QPoint x10 = popup->visualItemRect(popup->item(1)).center();
        QTest::mousePress(popup->viewport(), Qt::LeftButton, {}, x10);
        QTest::mouseRelease(popup->viewport(), Qt::LeftButton, {}, x10);
        Press(sheet, "IDOK");
    });
    frame_->RunCommand(ID_PROPERTIES);
    EXPECT_EQ(frame_->Settings().PortAddress, 0x3F0u);
    EXPECT_EQ(frame_->Settings().ChannelGain[2], 0x80);
    EXPECT_EQ(settings_->value("Device/CH2").toUInt(), 0x80u);
    EXPECT_EQ(settings_->value("Device/Address").toUInt(), 0x3F0u);

    // Gains change for the card between acquisitions.
    frame_->Settings().PortAddress = 0x100;
    GuiDocument* document = frame_->NewDocument();
    SetFastParams(*document->Doc, {3}, 1000);
    frame_->RunCommand(ID_OSC_START);
    ASSERT_NE(frame_->Settings().AcquiringDocId.load(), 0u);
    PropertiesValues values = PropertiesValues::From(frame_->Settings());
    values.ChannelGain[3] = 0x80;
    values.ChannelColors[3] = 0x00FF00;
    frame_->Application().ApplyProperties(values);
    // Stored and coloured at once; the running acquisition keeps reading the gains it had.
    EXPECT_EQ(settings_->value("Device/CH3").toUInt(), 0x80u);
    EXPECT_EQ(frame_->Settings().ChannelColors[3], 0x00FF00u);
    EXPECT_EQ(frame_->Settings().ChannelGain[3], 0);
    frame_->RunCommand(ID_OSC_START);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(frame_->Settings().ChannelGain[3], 0x80);
}

TEST_F(PropertiesTest, RecordingsFolderIsTheNextRecordingsAndOneThatCannotKeepItIsRefused) {
    auto choose = [this](const QString& folder) {
        bool stayed = false;
        OnModal<CMyPropertySheet>([&](CMyPropertySheet* sheet) {
            sheet->Recordings().FolderEdit()->setText(folder);
            Press(sheet, "IDOK");
            stayed = sheet->isVisible();
        });
        frame_->RunCommand(ID_PROPERTIES);
        return stayed;
    };
    // Not creatable (under a file), in the temporary folder, in memory, not a full path.
    for (const QString& folder :
         QStringList{TempPath("settings.ini") + "/r", "/tmp/r", "/dev/shm/kresograf-r", "r"}) {
        EXPECT_TRUE(choose(folder)) << folder.toStdString();
    }
    EXPECT_EQ(prompts_.Messages.size(), 4u);
    EXPECT_FALSE(QFile::exists("/dev/shm/kresograf-r") || settings_->contains("Recordings/Folder"));
    // Made when missing, kept and used by the next recording.
    // On a disk outside the temporary folder, where the build may lie too.
    QString base = QDir::currentPath();
    base = base.startsWith("/tmp/") ? QStringLiteral("/var/tmp") : base;
    QTemporaryDir disk(base + "/rejestracje-XXXXXX");
    const QString folder = disk.path() + "/nowy";
    EXPECT_FALSE(choose(folder));
    EXPECT_EQ(settings_->value("Recordings/Folder").toString(), folder);
    CZefraKrgDoc& doc = *frame_->NewDocument()->Doc;
    SetFastParams(doc, {0}, 1000);
    frame_->RunCommand(ID_REC_START);
    ASSERT_TRUE(WaitFor([&] { return !prompts_.Registered.empty(); }) && WaitIdle());
    const std::string& path = doc.Store(doc.CurrentSet.load())->File->Path();
    EXPECT_TRUE(QString::fromStdString(path).startsWith(folder + "/"));
}

using ExportTest = GuiTest;

TEST_F(ExportTest, CancelKeepsTheFileOkWritesTheChosenInputsInTheNamedFormat) {
    GuiDocument* document = TakeShot();
    const QString path = TempPath("shot.dat");
    ASSERT_TRUE(WriteBytes(path, "earlier\n"));
    prompts_.ExportName = path;
    OnModal<CExportAsciiDlg>([](CExportAsciiDlg* dialog) {
        ASSERT_EQ(dialog->Grid()->RowCount(), 2);
        EXPECT_EQ(dialog->Grid()->Text(1, 0), "Kanał 3");
        Press(dialog, "IDCANCEL");
    });
    frame_->RunCommand(ID_EXPORT_ASCII);
    EXPECT_EQ(ReadBytes(path), "earlier\n");

    // Nothing chosen: told so, the dialog stays; then input 3 with the time column.
    OnModal<CExportAsciiDlg>([this](CExportAsciiDlg* dialog) {
        Press(dialog, "IDOK");
        EXPECT_EQ(prompts_.Messages.size(), 1u);
        EXPECT_TRUE(dialog->isVisible());
        dialog->TimeBox()->setChecked(true);
        ClickGridButton(*dialog->Grid(), 1);
        Press(dialog, "IDOK");
    });
    frame_->RunCommand(ID_EXPORT_ASCII);
    const QList<QByteArray> lines = ReadBytes(path).split('\n');
    const CZefraKrgDoc& doc = *document->Doc;
    EXPECT_EQ(lines.size(), static_cast<qsizetype>(doc.SampleCount[doc.CurrentSet.load()]) + 1);
    // 95 000 Hz, two inputs: scans 2 x 84 / 8000 ms apart.
    EXPECT_TRUE(lines[1].startsWith("0.02\t")) << lines[1].toStdString();
    EXPECT_EQ(lines[1].count('\t'), 2);

    // The file name chooses the format (CSV takes the same path); HDF5 always has the time.
    prompts_.ExportName = TempPath("shot.h5");
    OnModal<CExportAsciiDlg>([](CExportAsciiDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), Tr(ExportDialogTitleOf(ExportFormat::Hdf5)));
        EXPECT_TRUE(dialog->TimeBox()->isChecked());
        EXPECT_FALSE(dialog->TimeBox()->isEnabled());
        ClickGridButton(*dialog->Grid(), 1);
        Press(dialog, "IDOK");
    });
    frame_->RunCommand(ID_EXPORT_ASCII);
    EXPECT_TRUE(ReadBytes(TempPath("shot.h5")).startsWith("\x89HDF"));
}

}  // namespace
}  // namespace kresograf
