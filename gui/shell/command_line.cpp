#include "shell/command_line.h"

#include <QRegularExpression>

namespace kresograf {
namespace {

bool TakeValue(const QStringList& arguments, qsizetype& i, QString& value, QString& error) {
    if (i + 1 >= arguments.size()) {
        error = QStringLiteral("Opcja %1 wymaga wartości.").arg(arguments[i]);
        return false;
    }
    value = arguments[++i];
    return true;
}

}  // namespace

bool ParseStartOptions(const QStringList& arguments, StartOptions& options, QString& error) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString value;
        if (argument == QLatin1String("--card")) {
            if (!TakeValue(arguments, i, value, error)) {
                return false;
            }
            std::string message;
            if (!ParseCardKind(value.toStdString(), options.Card.Kind, message)) {
                error = QString::fromStdString(message);
                return false;
            }
        } else if (argument == QLatin1String("--address")) {
            if (!TakeValue(arguments, i, value, error)) {
                return false;
            }
            std::string message;
            uint32_t address = 0;
            if (!ParseCardAddress(value.toStdString(), address, message)) {
                error = QString::fromStdString(message);
                return false;
            }
            options.Card.Address = address;
        } else if (argument == QLatin1String("--no-splash") ||
                   argument == QLatin1String("--nosplash")) {
            options.Splash = false;
        } else if (argument == QLatin1String("--render")) {
            if (i + 2 >= arguments.size()) {
                error = QStringLiteral("Opcja --render wymaga pliku dokumentu i pliku obrazu.");
                return false;
            }
            options.Render = true;
            options.RenderInput = arguments[++i];
            options.RenderOutput = arguments[++i];
        } else if (argument == QLatin1String("--size")) {
            if (!TakeValue(arguments, i, value, error)) {
                return false;
            }
            static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
            const QRegularExpressionMatch match = pattern.match(value);
            const int width = match.hasMatch() ? match.captured(1).toInt() : 0;
            const int height = match.hasMatch() ? match.captured(2).toInt() : 0;
            if (width < 1 || height < 1 || width > 16384 || height > 16384) {
                error = QStringLiteral(
                            "Nieprawidłowy rozmiar obrazu: %1 (oczekiwano SZEROKOŚĆxWYSOKOŚĆ, "
                            "np. 1024x640).")
                            .arg(value);
                return false;
            }
            options.RenderSize = QSize(width, height);
        } else if (argument.startsWith(QLatin1Char('-'))) {
            error = QStringLiteral("Nieznana opcja: %1").arg(argument);
            return false;
        } else if (options.File.isEmpty()) {
            options.File = argument;
        } else {
            error = QStringLiteral("Można otworzyć tylko jeden dokument: %1").arg(argument);
            return false;
        }
    }
    return true;
}

}  // namespace kresograf
