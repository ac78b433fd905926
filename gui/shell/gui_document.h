#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <vector>

#include "document/zefra_krg_doc.h"

namespace kresograf {

class CZefraKrgView;

// An open document as the desktop program keeps it: the core document, the file it belongs to,
// the title its windows show and the views that show it.
struct GuiDocument {
    std::unique_ptr<CZefraKrgDoc> Doc = std::make_unique<CZefraKrgDoc>();
    // Empty until the document is saved or was opened from a file.
    QString Path;
    // The file name, or "Kresograf1", "Kresograf2" ... for a new document.
    QString Title;
    QList<CZefraKrgView*> Views;
    // The file under its shown set was cut short and the user has been told.
    bool FileErrorTold = false;
};

// The open document with that identity, or null.
inline GuiDocument* FindDocument(const std::vector<std::unique_ptr<GuiDocument>>& documents,
                                 uint32_t docId) {
    for (const auto& document : documents) {
        if (document->Doc->DocId == docId) {
            return document.get();
        }
    }
    return nullptr;
}

}  // namespace kresograf
