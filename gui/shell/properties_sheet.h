#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>

#include "shell/properties_values.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kresograf {

class CChannelGrid;
class CMyPropertyPage1;

// The colour preview of the page "Kolory": black, the chosen channel's trace across the middle
// and the dotted grid at the thirds.
class CColorPreview : public QWidget {
  public:
    explicit CColorPreview(CMyPropertyPage1& page, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CMyPropertyPage1& page_;
};

// Asks the user for a colour (0x00BBGGRR) starting at the given one; nothing on cancel.
using ColorChooser = std::function<std::optional<uint32_t>(QWidget* owner, uint32_t initial)>;

// Page "Kolory": the eight channel colours, the grid colour and the print negation.
class CMyPropertyPage1 : public QWidget {
    Q_OBJECT

  public:
    explicit CMyPropertyPage1(PropertiesValues& values, QWidget* parent = nullptr);

    // The object chosen in the list: 0..7 a channel, 8 the grid.
    int Object() const;
    uint32_t ObjectColor(int object) const;
    void SetChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }
    // "Wybierz kolor".
    void ChooseColor();

    QComboBox* ObjectList() const { return objects_; }
    CColorPreview* Preview() const { return preview_; }
    QCheckBox* NegateBox() const { return negate_; }

  private:
    PropertiesValues& values_;
    ColorChooser chooser_;
    QComboBox* objects_ = nullptr;
    CColorPreview* preview_ = nullptr;
    QPushButton* choose_ = nullptr;
    QCheckBox* negate_ = nullptr;
};

// Page "Karta": the card's address block and the gain of each input.
class CMyPropertyPage2 : public QWidget {
    Q_OBJECT

  public:
    explicit CMyPropertyPage2(PropertiesValues& values, QWidget* parent = nullptr);

    // Takes the controls into the working copies; a page never shown keeps what it received.
    void OnOk();

    QComboBox* AddressList() const { return addresses_; }
    CChannelGrid* Grid() const { return grid_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    PropertiesValues& values_;
    bool shown_ = false;
    QComboBox* addresses_ = nullptr;
    CChannelGrid* grid_ = nullptr;
};

// Page "Rejestracje": the folder unsaved recordings are kept in.
class CRecordingsPage : public QWidget {
    Q_OBJECT

  public:
    explicit CRecordingsPage(PropertiesValues& values, QWidget* parent = nullptr);

    void OnOk();
    QLineEdit* FolderEdit() const { return folder_; }

  private:
    PropertiesValues& values_;
    QLineEdit* folder_ = nullptr;
};

// "Właściwości": modal, OK hands the working copies back, Cancel drops them.
class CMyPropertySheet : public QDialog {
    Q_OBJECT

  public:
    explicit CMyPropertySheet(const PropertiesValues& values, QWidget* parent = nullptr);

    const PropertiesValues& Values() const { return values_; }
    QTabWidget* Tabs() const { return tabs_; }
    CMyPropertyPage1& Colors() const { return *colors_; }
    CMyPropertyPage2& Card() const { return *card_; }
    CRecordingsPage& Recordings() const { return *recordings_; }

    // Asked before OK takes the values: false keeps the sheet open (it has told the user why).
    std::function<bool(const PropertiesValues& values)> Check;

    void accept() override;

  private:
    PropertiesValues values_;
    QTabWidget* tabs_ = nullptr;
    CMyPropertyPage1* colors_ = nullptr;
    CMyPropertyPage2* card_ = nullptr;
    CRecordingsPage* recordings_ = nullptr;
};

}  // namespace kresograf
