#include "document/mapped_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

namespace kresograf {
namespace {

// The mappings the guard watches. The handler may only read lock-free atomics, so the slots are
// a fixed table: a slot is claimed by storing its range, freed by clearing Begin first.
struct GuardSlot {
    std::atomic<uintptr_t> Begin{0};
    std::atomic<uintptr_t> End{0};
    std::atomic<bool> Lost{false};
    std::atomic<bool> Used{false};
};

constexpr int SlotCount = 256;
std::array<GuardSlot, SlotCount> Slots;
struct sigaction PreviousBus {};

uintptr_t PageSize() {
    static const uintptr_t size = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

extern "C" void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (GuardSlot& slot : Slots) {
        const uintptr_t begin = slot.Begin.load(std::memory_order_acquire);
        const uintptr_t end = slot.End.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= end) {
            continue;
        }
        // The file ends before this page now: zero pages stand in for the rest of the mapping,
        // and the faulting read runs again on them.
        const uintptr_t page = address & ~(PageSize() - 1);
        if (::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) {
            break;
        }
        slot.Lost.store(true, std::memory_order_release);
        return;
    }
    // Not one of ours: what the program did before the guard.
    if ((PreviousBus.sa_flags & SA_SIGINFO) != 0 && PreviousBus.sa_sigaction != nullptr) {
        PreviousBus.sa_sigaction(signal, info, context);
        return;
    }
    if (PreviousBus.sa_handler != SIG_DFL && PreviousBus.sa_handler != SIG_IGN &&
        PreviousBus.sa_handler != nullptr) {
        PreviousBus.sa_handler(signal);
        return;
    }
    // The default action, taken when the faulting read runs again.
    ::signal(SIGBUS, SIG_DFL);
}

int ClaimSlot(uintptr_t begin, uintptr_t end) {
    for (int i = 0; i < SlotCount; ++i) {
        bool expected = false;
        if (Slots[i].Used.compare_exchange_strong(expected, true)) {
            Slots[i].Lost.store(false);
            Slots[i].End.store(end, std::memory_order_release);
            Slots[i].Begin.store(begin, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

}  // namespace

void InstallFileGuards() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &PreviousBus);
        ::signal(SIGXFSZ, SIG_IGN);
    });
}

std::shared_ptr<MappedFile> MappedFile::Map(int fd, uint64_t length, int& error) {
    InstallFileGuards();
    error = 0;
    if (length == 0 || length > static_cast<uint64_t>(SIZE_MAX)) {
        error = length == 0 ? EINVAL : ENOMEM;
        return nullptr;
    }
    void* data = ::mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        error = errno;
        return nullptr;
    }
    const auto begin = reinterpret_cast<uintptr_t>(data);
    const int slot = ClaimSlot(begin, begin + static_cast<uintptr_t>(length));
    if (slot < 0) {
        ::munmap(data, static_cast<std::size_t>(length));
        error = ENFILE;
        return nullptr;
    }
    return std::shared_ptr<MappedFile>(
        new MappedFile(static_cast<const uint8_t*>(data), length, slot));
}

MappedFile::~MappedFile() {
    GuardSlot& slot = Slots[slot_];
    slot.Begin.store(0, std::memory_order_release);
    slot.End.store(0, std::memory_order_release);
    ::munmap(const_cast<uint8_t*>(data_), static_cast<std::size_t>(length_));
    slot.Used.store(false, std::memory_order_release);
}

void MappedFile::MarkLost() const {
    Slots[slot_].Lost.store(true, std::memory_order_release);
}

bool MappedFile::Lost() const {
    return Slots[slot_].Lost.load(std::memory_order_acquire);
}

}  // namespace kresograf
