#pragma once

#include <string>
#include <vector>

#include "shell/acquisition_options.h"

namespace kresograf {

enum class PaperSize { A4, Letter };

// What the desktop program's command line asks of it.
struct StartOptions {
    // A document to open; empty = a new empty document.
    std::string File;
    CardChoice Card;
    bool Splash = true;
    // --render FILE OUT [--size WxH]: draw the document into a PNG and end.
    bool Render = false;
    std::string RenderInput;
    std::string RenderOutput;
    int RenderWidth = 1024;
    int RenderHeight = 640;
    // --render-spectrum FILE OUT [--channel N] [--size WxH]: draw the spectrum window of input N
    // (0 = the first with data) over the whole document into a PNG and end; uses RenderInput,
    // RenderOutput and the render size.
    bool RenderSpectrum = false;
    int SpectrumChannel = 0;
    // --print FILE OUT.pdf [--size A4|Letter]: print the document's page into a PDF and end.
    bool Print = false;
    std::string PrintInput;
    std::string PrintOutput;
    PaperSize Paper = PaperSize::A4;
};

// Reads the arguments after the program name. Returns false with a Polish message when an
// option is unknown or its value is wrong.
bool ParseStartOptions(const std::vector<std::string>& arguments, StartOptions& options,
                       std::string& error);

}  // namespace kresograf
