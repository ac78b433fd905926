#pragma once

#include <QWidget>
#include <functional>

#include "acquisition/params_pages.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

namespace kresograf {

class CChannelGrid;
class CZefraKrgDoc;

// Shows a message box the way the program's main window does (tests answer it in code).
using MessageSink = std::function<void(QWidget* owner, const UserMessage& message)>;

// The block a page edits: a document's parameter set, changed only under the document's lock,
// which the acquisition worker takes too. Unbound (no document) until the first Bind.
class ParamsBinding {
  public:
    bool Bound() const { return doc_ != nullptr; }
    void Point(CZefraKrgDoc* doc, int which) {
        doc_ = doc;
        which_ = which;
    }
    CZefraKrgDoc* Document() const { return doc_; }
    // Runs f on the block and its trigger under the lock; nothing when unbound.
    void Edit(const std::function<void(AcquisitionParams&, TriggerParams&)>& f) const;

  private:
    CZefraKrgDoc* doc_ = nullptr;
    int which_ = 0;
};

// Page "Ogólne": rate, duration, differential mode, channels and the status line.
class CKanalyPropertyPage1 : public QWidget {
    Q_OBJECT

  public:
    explicit CKanalyPropertyPage1(MessageSink messages, QWidget* parent = nullptr);

    ParamsBinding& Binding() { return binding_; }
    void LoadFromParams();
    void StoreToParams();
    void SetStatus(uint32_t code);

    QComboBox* RateList() const { return rateList_; }
    QPushButton* ApplyRateButton() const { return applyRate_; }
    QLabel* RateLabel() const { return rateLabel_; }
    QLabel* DurationLabel() const { return durationLabel_; }
    QPushButton* ApplyDurationButton() const { return applyDuration_; }
    QLineEdit* DurationEdit() const { return durationEdit_; }
    QComboBox* UnitList() const { return unitList_; }
    QCheckBox* DifferentialBox() const { return differential_; }
    CChannelGrid* Grid() const { return grid_; }
    QLabel* StatusLine() const { return status_; }

  private:
    void OnApplyRate();
    void OnApplyDuration();
    void OnDifferential(bool on);
    void OnGridNotify(int row, int column);
    // Shows the page's state; the rate list, edit and unit list only when all is set.
    void Show(bool all);
    void SyncGridRows();

    MessageSink messages_;
    ParamsBinding binding_;
    GeneralPage page_;
    QComboBox* rateList_ = nullptr;
    QPushButton* applyRate_ = nullptr;
    QLabel* rateLabel_ = nullptr;
    QLabel* durationLabel_ = nullptr;
    QPushButton* applyDuration_ = nullptr;
    QLineEdit* durationEdit_ = nullptr;
    QComboBox* unitList_ = nullptr;
    QCheckBox* differential_ = nullptr;
    CChannelGrid* grid_ = nullptr;
    QLabel* status_ = nullptr;
};

// Page "Wyzwalanie": edge, type, channel and threshold.
class CKanalyPropertyPage2 : public QWidget {
    Q_OBJECT

  public:
    explicit CKanalyPropertyPage2(QWidget* parent = nullptr);

    ParamsBinding& Binding() { return binding_; }
    void LoadFromParams();
    void StoreToParams();

    QComboBox* EdgeList() const { return edgeList_; }
    QComboBox* TypeList() const { return typeList_; }
    QComboBox* ChannelList() const { return channelList_; }
    QLineEdit* ThresholdEdit() const { return threshold_; }
    QSlider* Slider() const { return slider_; }

  private:
    void Show();

    ParamsBinding binding_;
    TriggerPage page_;
    bool showing_ = false;
    QComboBox* edgeList_ = nullptr;
    QComboBox* typeList_ = nullptr;
    QComboBox* channelList_ = nullptr;
    QLineEdit* threshold_ = nullptr;
    QSlider* slider_ = nullptr;
};

// "Parametry akwizycji": a tool window over the main window with the two pages. It has no OK or
// Cancel: every change goes straight into the bound block. Closing it only hides it.
class CKanalyPropertyFrame : public QWidget {
    Q_OBJECT

  public:
    CKanalyPropertyFrame(MessageSink messages, QWidget* owner);
    ~CKanalyPropertyFrame() override;

    // A view of another document became active: both pages edit its working block, the page
    // shown reloads.
    void Bind(CZefraKrgDoc* doc);
    // An acquisition of the shown document ended: both pages reload its block `which`.
    void Rebind(CZefraKrgDoc* doc, int which);
    // The document went away: nothing is bound any more.
    void Unbind();
    // An acquisition started or stopped: the shown page follows the block's Running.
    void RunningChanged();
    void SetStatus(uint32_t code);
    // Shows the window; the first time centred over the owner, later where the user left it.
    void ShowOver(const QWidget& owner);

    QTabWidget* Sheet() const { return sheet_; }
    CKanalyPropertyPage1& General() const { return *general_; }
    CKanalyPropertyPage2& Trigger() const { return *trigger_; }

  protected:
    // Escape hides the window, as its close box does.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OnPageChanged(int index);
    void LoadPage(int index);

    QTabWidget* sheet_ = nullptr;
    CKanalyPropertyPage1* general_ = nullptr;
    CKanalyPropertyPage2* trigger_ = nullptr;
    int active_ = 0;
    bool placed_ = false;
};

}  // namespace kresograf
