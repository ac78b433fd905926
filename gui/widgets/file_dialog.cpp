#include "gui/widgets/file_dialog.h"

#include <QComboBox>
#include <QFileInfo>

namespace kresograf {

FileDialog::FileDialog(QWidget* owner, const QString& title, const QStringList& filters,
                       AcceptMode mode, const QString& defaultSuffix, const QString& proposed)
    : QFileDialog(owner, title, proposed), suffix_(defaultSuffix) {
    setOption(DontUseNativeDialog);
    setAcceptMode(mode);
    // A name that does not exist is the reader's to refuse, with the program's own message.
    setFileMode(AnyFile);
    // Qt appends the default suffix to every name typed without one, even one that exists as
    // typed; an open dialog resolves that itself (Chosen).
    if (mode == AcceptSave) {
        setDefaultSuffix(defaultSuffix);
    }
    // On Linux "*.*" needs a dot, and Qt would write its "*" into the typed name: the filter
    // matches by "*" while the list keeps showing the text as written.
    QStringList patterns = filters;
    for (QString& filter : patterns) {
        filter.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    }
    setNameFilters(patterns);
    if (auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < types->count() && i < filters.size(); ++i) {
            types->setItemText(i, filters[i]);
        }
    }
}

QString FileDialog::Chosen() const {
    const QStringList files = selectedFiles();
    if (files.isEmpty()) {
        return {};
    }
    const QString typed = files.first();
    if (acceptMode() == AcceptOpen && !suffix_.isEmpty() && !QFileInfo::exists(typed) &&
        QFileInfo(typed).suffix().isEmpty()) {
        const QString suffixed = typed + QStringLiteral(".") + suffix_;
        if (QFileInfo::exists(suffixed)) {
            return suffixed;
        }
    }
    return typed;
}

QString FileDialog::Run() {
    return exec() == QDialog::Accepted ? Chosen() : QString();
}

}  // namespace kresograf
