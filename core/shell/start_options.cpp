#include "shell/start_options.h"

#include <charconv>

#include "base/translation.h"

namespace kresograf {
namespace {

bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, std::string& value,
               std::string& error) {
    if (i + 1 >= arguments.size()) {
        error = FillText(Tr("Opcja %s wymaga wartości."), {arguments[i]});
        return false;
    }
    value = arguments[++i];
    return true;
}

// "WIDTHxHEIGHT" with each side 1 … 16384.
bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size()) {
        return false;
    }
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto w = std::from_chars(begin, begin + x, width);
    const auto h = std::from_chars(begin + x + 1, end, height);
    return w.ec == std::errc() && w.ptr == begin + x && h.ec == std::errc() && h.ptr == end &&
           width >= 1 && height >= 1 && width <= 16384 && height <= 16384;
}

}  // namespace

bool ParseStartOptions(const std::vector<std::string>& arguments, StartOptions& options,
                       std::string& error) {
    // --size means a picture's pixels or a page's paper, depending on the other options.
    std::string size;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (argument == "--card") {
            if (!TakeValue(arguments, i, value, error) ||
                !ParseCardKind(value, options.Card.Kind, error)) {
                return false;
            }
        } else if (argument == "--address") {
            uint32_t address = 0;
            if (!TakeValue(arguments, i, value, error) ||
                !ParseCardAddress(value, address, error)) {
                return false;
            }
            options.Card.Address = address;
        } else if (argument == "--no-splash" || argument == "--nosplash") {
            options.Splash = false;
        } else if (argument == "--render") {
            if (i + 2 >= arguments.size()) {
                error = Tr("Opcja --render wymaga pliku dokumentu i pliku obrazu.");
                return false;
            }
            options.Render = true;
            options.RenderInput = arguments[++i];
            options.RenderOutput = arguments[++i];
        } else if (argument == "--render-spectrum") {
            if (i + 2 >= arguments.size()) {
                error = Tr("Opcja --render-spectrum wymaga pliku dokumentu i pliku obrazu.");
                return false;
            }
            options.RenderSpectrum = true;
            options.RenderInput = arguments[++i];
            options.RenderOutput = arguments[++i];
        } else if (argument == "--channel") {
            if (!TakeValue(arguments, i, value, error)) {
                return false;
            }
            const char* end = value.data() + value.size();
            const auto parsed = std::from_chars(value.data(), end, options.SpectrumChannel);
            if (parsed.ec != std::errc() || parsed.ptr != end || options.SpectrumChannel < 1 ||
                options.SpectrumChannel > 8) {
                error = FillText(Tr("Nieprawidłowy kanał: %s (oczekiwano 1 … 8)."), {value});
                return false;
            }
        } else if (argument == "--print") {
            if (i + 2 >= arguments.size()) {
                error = Tr("Opcja --print wymaga pliku dokumentu i pliku PDF.");
                return false;
            }
            options.Print = true;
            options.PrintInput = arguments[++i];
            options.PrintOutput = arguments[++i];
        } else if (argument == "--size") {
            if (!TakeValue(arguments, i, size, error)) {
                return false;
            }
        } else if (!argument.empty() && argument[0] == '-') {
            error = FillText(Tr("Nieznana opcja: %s"), {argument});
            return false;
        } else if (options.File.empty()) {
            options.File = argument;
        } else {
            error = FillText(Tr("Można otworzyć tylko jeden dokument: %s"), {argument});
            return false;
        }
    }
    if (int(options.Print) + int(options.Render) + int(options.RenderSpectrum) > 1) {
        error = Tr("Opcji --render, --render-spectrum i --print nie można użyć razem.");
        return false;
    }
    if (options.SpectrumChannel != 0 && !options.RenderSpectrum) {
        error = Tr("Opcja --channel dotyczy tylko --render-spectrum.");
        return false;
    }
    if (size.empty()) {
        return true;
    }
    if (options.Print) {
        if (size == "A4" || size == "a4") {
            options.Paper = PaperSize::A4;
        } else if (size == "Letter" || size == "letter") {
            options.Paper = PaperSize::Letter;
        } else {
            error = FillText(Tr("Nieprawidłowy rozmiar strony: %s (oczekiwano A4 albo Letter)."),
                             {size});
            return false;
        }
    } else if (!ParseSize(size, options.RenderWidth, options.RenderHeight)) {
        error = FillText(
            Tr("Nieprawidłowy rozmiar obrazu: %s (oczekiwano SZEROKOŚĆxWYSOKOŚĆ, np. 1024x640)."),
            {size});
        return false;
    }
    return true;
}

}  // namespace kresograf
