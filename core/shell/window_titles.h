#pragma once

#include <string>
#include <string_view>

namespace kresograf {

// A plot window's title: the document's title, with ":n" (n counted from 1) when the document
// has more than one window. No modified marker.
std::string PlotWindowTitle(std::string_view documentTitle, int viewIndex, int viewCount);

// The main window's caption: the program's title alone without an active plot window;
// "<program> - <window>" for a normal one; "<program> - [<window>]" for a maximised one.
std::string MainWindowTitle(std::string_view activeWindowTitle, bool activeMaximized);

}  // namespace kresograf
