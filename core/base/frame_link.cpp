#include "base/frame_link.h"

namespace kresograf {

std::string_view StatusText(uint32_t code) {
    switch (code) {
        case StatusTriggering:
            return "Wyzwalanie w toku";
        case StatusTransferring:
            return "Transmisja w toku";
        case StatusRecording:
            return "Akwizycja i transmisja w toku";
        case StatusAcquiring:
            return "Akwizycja w toku";
        case StatusNoChannel:
            return "Nie wybrano żadnego kanału";
        default:
            return "";
    }
}

}  // namespace kresograf
