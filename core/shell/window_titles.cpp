#include "shell/window_titles.h"

#include "base/translation.h"
#include "shell/shell_texts.h"

namespace kresograf {

std::string PlotWindowTitle(std::string_view documentTitle, int viewIndex, int viewCount) {
    std::string title(documentTitle);
    if (viewCount > 1) {
        title += ':';
        title += std::to_string(viewIndex + 1);
    }
    return title;
}

std::string MainWindowTitle(std::string_view activeWindowTitle, bool activeMaximized) {
    std::string title = Tr(texts::MainTitle);
    if (activeWindowTitle.empty()) {
        return title;
    }
    title += activeMaximized ? " - [" : " - ";
    title += activeWindowTitle;
    if (activeMaximized) {
        title += ']';
    }
    return title;
}

}  // namespace kresograf
