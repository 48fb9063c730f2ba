// Times the phases of the calendar's start-up from inside the process: runs the program's own
// start-up with a recorder in the phase seam, ends the program as soon as its window is shown,
// and prints one line per phase, "NAME<tab>MILLISECONDS", nested phases indented by two spaces.
// Run it on a display inside a Wine session; tools/bench_startup.sh runs it and takes medians.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/Startup.h"
#include "toolkit/Seams.h"

namespace {
struct Mark {
    const char* Phase;
    bool Begins;
    std::int64_t At;
};

std::vector<Mark> gMarks;

std::int64_t Now() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Milliseconds(std::int64_t ticks) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

void Record(const char* phase, bool begins) {
    gMarks.push_back({phase, begins, Now()});
    // Shown: start-up is over, and the message loop ends at once.
    if (!begins && std::string_view(phase) == "show") {
        PostQuitMessage(0);
    }
}

// From the process's creation by the system to now, in milliseconds.
double SinceProcessCreation() {
    FILETIME creation{};
    FILETIME exit{};
    FILETIME kernel{};
    FILETIME user{};
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    auto value = [](FILETIME t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return static_cast<double>(value(now) - value(creation)) / 10000.0;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const double beforeWinMain = SinceProcessCreation();
    gMarks.reserve(64);
    const std::int64_t start = Now();
    Seam::StartupPhase = Record;
    const int code = RunCalendar();
    Seam::StartupPhase = [](const char*, bool) {};

    std::printf("process creation to WinMain\t%.2f\n", beforeWinMain);
    std::int64_t shown = 0;
    int depth = 0;
    for (std::size_t i = 0; i < gMarks.size(); ++i) {
        const Mark& mark = gMarks[i];
        if (!mark.Begins) {
            --depth;
            if (std::string_view(mark.Phase) == "show" && shown == 0) {
                shown = mark.At;
            }
            continue;
        }
        // The matching end is the first one of the same name at the same depth.
        int level = 0;
        for (std::size_t j = i + 1; j < gMarks.size(); ++j) {
            if (gMarks[j].Begins) {
                ++level;
            } else if (level > 0) {
                --level;
            } else {
                std::printf("%s%s\t%.2f\n", std::string(2 * static_cast<std::size_t>(depth), ' ').c_str(),
                            mark.Phase, Milliseconds(gMarks[j].At - mark.At));
                break;
            }
        }
        ++depth;
    }
    if (shown != 0) {
        std::printf("WinMain to shown\t%.2f\n", Milliseconds(shown - start));
    }
    std::fflush(stdout);
    return code;
}
