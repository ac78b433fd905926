#include "base/frame_link.h"

#include "base/translation.h"

namespace kresograf {

std::string_view StatusText(uint32_t code) {
    switch (code) {
        case StatusTriggering:
            return Tr("Wyzwalanie w toku");
        case StatusTransferring:
            return Tr("Transmisja w toku");
        case StatusRecording:
            return Tr("Akwizycja i transmisja w toku");
        case StatusAcquiring:
            return Tr("Akwizycja w toku");
        case StatusNoChannel:
            return Tr("Nie wybrano żadnego kanału");
        default:
            return "";
    }
}

}  // namespace kresograf
