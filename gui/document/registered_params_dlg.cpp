#include "gui/document/registered_params_dlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/translation.h"
#include "document/registered_params.h"

namespace kresograf {

CRegisteredParamsDlg::CRegisteredParamsDlg(const RegisteredParamsRequest& request, QWidget* parent)
    : QDialog(parent) {
    setObjectName("IDD_REGISTERED_PARAMS");
    setWindowTitle(QString::fromUtf8(Tr(RegisteredParamsTitle)));
    const auto texts = RegisteredParamsTexts(request.Scans, request.Params, request.Trigger);

    auto* layout = new QVBoxLayout(this);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto* label = new QLabel(QString::fromStdString(texts[i]));
        label->setObjectName(QStringLiteral("IDC_%1").arg(1044 + static_cast<int>(i)));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lines_.append(label);
        if (i == texts.size() - 1) {
            // The file size stands apart from the recording's description.
            auto* rule = new QFrame;
            rule->setFrameShape(QFrame::HLine);
            rule->setFrameShadow(QFrame::Sunken);
            layout->addWidget(rule);
        }
        // The trigger's channel, edge and threshold belong to the trigger type above them.
        const bool indented = i >= 5 && i <= 7;
        if (indented) {
            auto* row = new QHBoxLayout;
            row->addSpacing(16);
            row->addWidget(label);
            layout->addLayout(row);
        } else {
            layout->addWidget(label);
        }
    }
    auto* close = new QPushButton(QString::fromUtf8(Tr(RegisteredParamsCloseText)));
    close->setObjectName("IDOK");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QStringList CRegisteredParamsDlg::Lines() const {
    QStringList lines;
    for (const QLabel* label : lines_) {
        lines << label->text();
    }
    return lines;
}

}  // namespace kresograf
