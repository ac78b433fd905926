#include "card/direct_port_io.h"

#include <cstdio>

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#define KRESOGRAF_HAS_PORT_IO 1
#include <sys/io.h>

#include "base/translation.h"
#else
#define KRESOGRAF_HAS_PORT_IO 0
#endif

namespace kresograf {

UserMessage PortAccessDeniedMessage(uint32_t base) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(base));
    return UserMessage{Tr("Błąd dostępu do karty"),
                       FillText(Tr("Nie można uzyskać dostępu do portów karty QB730 pod adresem "
                                   "0x%s. Uruchom program jako root lub nadaj mu uprawnienie "
                                   "CAP_SYS_RAWIO (np. setcap cap_sys_rawio+ep)."),
                                {hex}),
                       MessageIcon::Stop};
}

UserMessage PortIoUnsupportedMessage() {
    return UserMessage{Tr("Błąd dostępu do karty"),
                       Tr("Ten komputer nie ma portów wejścia-wyjścia potrzebnych karcie QB730."),
                       MessageIcon::Stop};
}

bool DirectPortIo::Granted(uint32_t base, uint32_t port) {
    return port < ListedPorts || (port >= base && port < base + PortSpan);
}

#if KRESOGRAF_HAS_PORT_IO

std::unique_ptr<DirectPortIo> DirectPortIo::Open(uint32_t base, UserMessage& error) {
    // Port numbers are 16 bits wide; a window reaching past 0xFFFF cannot be granted.
    const bool beyondList = base + PortSpan > ListedPorts;
    if (base > 0x10000 - PortSpan || ioperm(0, ListedPorts, 1) != 0 ||
        (beyondList && ioperm(base, PortSpan, 1) != 0)) {
        ioperm(0, ListedPorts, 0);
        error = PortAccessDeniedMessage(base);
        return nullptr;
    }
    return std::unique_ptr<DirectPortIo>(new DirectPortIo(base));
}

DirectPortIo::~DirectPortIo() {
    ioperm(0, ListedPorts, 0);
    if (base_ + PortSpan > ListedPorts) {
        ioperm(base_, PortSpan, 0);
    }
}

uint16_t DirectPortIo::InWord(uint16_t port) {
    return Granted(base_, port) ? inw(port) : 0xFFFF;
}

void DirectPortIo::OutWord(uint16_t port, uint16_t value) {
    if (Granted(base_, port)) {
        outw(value, port);
    }
}

#else

std::unique_ptr<DirectPortIo> DirectPortIo::Open(uint32_t, UserMessage& error) {
    error = PortIoUnsupportedMessage();
    return nullptr;
}

DirectPortIo::~DirectPortIo() = default;

uint16_t DirectPortIo::InWord(uint16_t) {
    return 0xFFFF;
}

void DirectPortIo::OutWord(uint16_t, uint16_t) {}

#endif

}  // namespace kresograf
