#pragma once

#include <QDialog>
#include <QStringList>

#include "base/frame_link.h"

class QLabel;

namespace kresograf {

// "Zarejestrowane parametry": nine read-only lines about how the shown data were recorded.
// It works on its own copy of the registered block and never writes back.
class CRegisteredParamsDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CRegisteredParamsDlg(const RegisteredParamsRequest& request,
                                  QWidget* parent = nullptr);

    // The nine lines as shown, top to bottom (ids 1044 ... 1052).
    QStringList Lines() const;

  private:
    QList<QLabel*> lines_;
};

}  // namespace kresograf
