// reckon: Gregorian dates, or today's, in the loa reckoning, and back; from arguments or standard input.

#include "tools/ReckonCommand.h"

#include <ctime>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "toolkit/SystemLibrary.h"
#endif
#include <iostream>
#include <optional>

namespace {

std::optional<GregorianDate> TodayLocalDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &now) != 0) {
        return std::nullopt;
    }
#else
    if (localtime_r(&now, &local) == nullptr) {
        return std::nullopt;
    }
#endif
    return GregorianDate{static_cast<std::uint16_t>(local.tm_mday),
                         static_cast<std::uint16_t>(local.tm_mon + 1),
                         static_cast<std::uint16_t>(local.tm_year + 1900)};
}

#if defined(_WIN32) && defined(__GNUC__)
// Before the static constructors of the libraries linked in: the stack protector's draws its guard
// from the system's random numbers, whose providers load further DLLs.
[[gnu::constructor(101)]] void RestrictDllSearchFirst() {
    RestrictDllSearchToSystem();
}
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Before anything could load a DLL: none may come from the folder reckon was unpacked in.
    RestrictDllSearchToSystem();
#endif
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    GregorianDate today{1, 1, 1};
    if (args.empty()) {
        const std::optional<GregorianDate> local = TodayLocalDate();
        if (!local) {
            std::cerr << "reckon: cannot read the local date\n";
            return 1;
        }
        today = *local;
    }
#ifdef _WIN32
    // In text mode a Ctrl-Z byte would end the input early and silently; read it as the bad byte it is.
    // Line ends stay "\r\n" then, which the line reader takes as it takes "\n".
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    // The streams then buffer on their own, and a batch reads and writes in large blocks.
    std::ios::sync_with_stdio(false);
    return RunReckon(args, today, std::cin, std::cout, std::cerr);
}
