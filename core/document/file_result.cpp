#include "document/file_result.h"

#include <cerrno>

#include "base/translation.h"

namespace kresograf {

FileResult WriteFailure(int error) {
    const bool full = error == ENOSPC || error == EDQUOT || error == EFBIG;
    return FileResult{FileWriteError,
                      UserMessage{Tr("Błąd zapisu pliku"),
                                  full ? Tr("Wystąpił błąd podczas zapisu do pliku. Brak miejsca "
                                            "na dysku.")
                                       : Tr("Wystąpił błąd podczas zapisu do pliku."),
                                  MessageIcon::Stop}};
}

}  // namespace kresograf
