#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "acquisition/acquisition_options.h"

namespace kresograf {

// What the command line asks of the program.
struct StartOptions {
    // A document to open; empty = a new empty document.
    QString File;
    CardChoice Card;
    bool Splash = true;
    // --render FILE OUT [--size WxH]: draw the document into a PNG and end.
    bool Render = false;
    QString RenderInput;
    QString RenderOutput;
    QSize RenderSize{1024, 640};
};

// Reads the arguments after the program name. Returns false with a Polish message when an
// option is unknown or its value is wrong.
bool ParseStartOptions(const QStringList& arguments, StartOptions& options, QString& error);

}  // namespace kresograf
