#include "gui_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

#include "card/simulated_card.h"
#include "gui/shell/command_table.h"
#include "gui/shell/splash_window.h"
#include "gui/view/zefra_krg_view.h"
#include "gui/widgets/channel_grid.h"

namespace kresograf {

void RecordingPrompts::ShowRegisteredParams(QWidget*, const RegisteredParamsRequest& request) {
    Registered.push_back({request, QThread::currentThread() == qApp->thread()});
}

void GuiTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    // Recordings go to the test's folder, not the user's.
    qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
    settings_ = std::make_unique<QSettings>(dir_.filePath("settings.ini"), QSettings::IniFormat);
    frame_ =
        std::make_unique<CMainFrame>(*settings_, std::make_unique<SimulatedCard>(clock_), clock_);
    frame_->SetPrompts(&prompts_);
    SplashWindow::EnableSplash(false);
    frame_->show();
    frame_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
}

void GuiTest::TearDown() {
    if (frame_) {
        for (const auto& document : frame_->Documents()) {
            document->Doc->OscRunning = 0;
            document->Doc->RecRunning = 0;
        }
        WaitIdle();
        frame_.reset();
    }
}

void GuiTest::SetFastParams(CZefraKrgDoc& doc, std::vector<int8_t> channels, uint32_t scans) {
    AcquisitionParams params;
    TriggerParams trigger;
    doc.WorkingBlock(params, trigger);
    params.Divisor = 84;
    params.Prescaler = 1;
    params.SingleEnded = 1;
    params.ChannelCount = static_cast<int8_t>(channels.size());
    params.Channels = {};
    std::copy(channels.begin(), channels.end(), params.Channels.begin());
    params.TotalSamples = scans * static_cast<uint32_t>(channels.size());
    trigger.Edge = EdgeAutomatic;
    doc.SetWorking(params, trigger);
}

bool GuiTest::WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

bool GuiTest::WaitIdle() {
    return WaitFor([this] {
        return frame_->Settings().AcquiringDocId.load() == 0 && !frame_->Runner().Busy();
    });
}

GuiDocument* GuiTest::TakeShot(std::vector<int8_t> channels, uint32_t scans) {
    GuiDocument* document = frame_->NewDocument();
    CZefraKrgDoc& doc = *document->Doc;
    SetFastParams(doc, std::move(channels), scans);
    CZefraKrgView* view = document->Views.first();
    const int renders = view->RenderCount();
    frame_->RunCommand(ID_OSC_START);
    // Whole shots, each drawn as it arrives.
    EXPECT_TRUE(WaitFor([&] {
        return doc.SampleCount[doc.CurrentSet.load()] == scans &&
               view->RenderCount() >= renders + 3;
    }));
    frame_->RunCommand(ID_OSC_START);
    EXPECT_TRUE(WaitIdle());
    return document;
}

void ClickGridButton(CChannelGrid& grid, int row) {
    grid.selectRow(row);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.ButtonRect(row, 1).center());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int CountColor(const QImage& image, const QRect& area, QRgb color) {
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

}  // namespace kresograf
