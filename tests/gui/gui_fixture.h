#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "base/frame_link.h"
#include "card/clock.h"
#include "gui/shell/frame_prompts.h"
#include "gui/shell/main_frame.h"
#include "gui/view/picture_painter.h"
#include "view/picture.h"

namespace kresograf {

// Answers the main frame's questions in code and remembers what it was asked.
class RecordingPrompts : public FramePrompts {
  public:
    void ShowMessage(QWidget*, const UserMessage& message) override { Messages.push_back(message); }
    SaveAnswer AskSaveChanges(QWidget*, const QString& documentTitle) override {
        SaveQuestions << documentTitle;
        return NextSaveAnswer;
    }
    QString AskOpenFileName(QWidget*) override { return OpenName; }
    QString AskSaveFileName(QWidget*, const QString&) override {
        return SaveNames.isEmpty() ? QString() : SaveNames.takeFirst();
    }
    void ShowRegisteredParams(QWidget* owner, const RegisteredParamsRequest& request) override;
    QString AskExportFileName(QWidget*, const QString&) override { return ExportName; }
    InterruptedAnswer AskOpenInterrupted(QWidget*, const QString& path) override {
        InterruptedQuestions << path;
        return InterruptedAnswers.isEmpty() ? InterruptedAnswer::Keep
                                            : InterruptedAnswers.takeFirst();
    }

    std::vector<UserMessage> Messages;
    QStringList SaveQuestions;
    SaveAnswer NextSaveAnswer = SaveAnswer::Discard;
    QStringList SaveNames;  // taken from the front, one per save dialog
    QString OpenName;
    QString ExportName;  // the export's file; empty = cancelled
    QStringList InterruptedQuestions;
    QList<InterruptedAnswer> InterruptedAnswers;  // taken from the front
    struct RegisteredCall {
        RegisteredParamsRequest Request;
        bool OnUiThread = false;
    };
    std::vector<RegisteredCall> Registered;
};

// A main frame on the simulated card with settings in a scratch file.
class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A fast working block: 95 000 Hz, the given inputs, scans per shot.
    static void SetFastParams(CZefraKrgDoc& doc, std::vector<int8_t> channels, uint32_t scans);
    // Runs the event loop until the condition holds; false on time-out.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000);
    bool WaitIdle();
    // A new document holding stopped oscilloscope shots, drawn in its view as they came; by
    // default 1000 scans of inputs 0 (a 50 Hz sine) and 2 (a 5 Hz triangle).
    GuiDocument* TakeShot(std::vector<int8_t> channels = {0, 2}, uint32_t scans = 1000);
    QString TempPath(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    std::unique_ptr<QSettings> settings_;
    SteadyClock clock_;
    RecordingPrompts prompts_;
    std::unique_ptr<CMainFrame> frame_;
};

class CChannelGrid;
// Selects a grid row and clicks its second column's button (a toggle or a drop-down).
void ClickGridButton(CChannelGrid& grid, int row);
// A file's bytes (empty when it cannot be read); a file written whole, its folder made.
QByteArray ReadBytes(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);
// Pixels of a colour inside a rectangle.
int CountColor(const QImage& image, const QRect& area, QRgb color);
inline QRect ToQRect(const PictureRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}
inline QRgb Rgb(uint32_t colorRef) {
    return ColorFromRef(colorRef).rgb();
}

}  // namespace kresograf
