#include "document/file_result.h"

#include <cerrno>

namespace kresograf {

FileResult WriteFailure(int error) {
    const bool full = error == ENOSPC || error == EDQUOT;
    return FileResult{FileWriteError,
                      UserMessage{"Błąd zapisu pliku",
                                  full ? "Wystąpił błąd podczas zapisu do pliku. Brak miejsca na "
                                         "dysku."
                                       : "Wystąpił błąd podczas zapisu do pliku.",
                                  MessageIcon::Stop}};
}

}  // namespace kresograf
