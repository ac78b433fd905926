#include "gui/shell/about_dlg.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/translation.h"
#include "gui/shell/artwork.h"
#include "shell/shell_texts.h"

namespace kresograf {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(Tr(texts::AboutTitle)));
    setObjectName("IDD_ABOUTBOX");

    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setObjectName("AboutIcon");

    // Two etched frames: the texts, and the picture.
    auto* textFrame = new QFrame;
    textFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* textLayout = new QVBoxLayout(textFrame);
    for (const char* line : {texts::AboutVersion, texts::AboutLine1, texts::AboutLine2, ""}) {
        auto* label = new QLabel(QString::fromUtf8(Tr(line)));
        label->setObjectName("AboutText");
        textLayout->addWidget(label);
    }

    auto* pictureFrame = new QFrame;
    pictureFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* pictureLayout = new QVBoxLayout(pictureFrame);
    auto* picture = new QLabel;
    picture->setPixmap(QPixmap::fromImage(AboutPicture()));
    pictureLayout->addWidget(picture);

    auto* ok = new QPushButton(QString::fromUtf8(Tr(texts::Ok)));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(textFrame, 0, 1);
    layout->addWidget(pictureFrame, 0, 2);
    layout->addWidget(ok, 1, 2, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kresograf
