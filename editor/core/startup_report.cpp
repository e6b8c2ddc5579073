// Start-up step timing measured from the process's own start time (the kernel's record of it), so
// the dynamic loading before main is counted too.
#include "startup_report.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace startup_report {
namespace {

double boot_ms() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// When the process started, in the clock of boot_ms (field 22 of /proc/self/stat, in clock ticks).
double process_start_ms() {
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')'); // the command name may hold spaces
    if (close == std::string::npos) return boot_ms();
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) return double(std::stoull(field)) * 1e3 / double(sysconf(_SC_CLK_TCK));
    }
    return boot_ms();
}

struct step {
    const char* name;
    double at;
};

struct report {
    bool on = std::getenv("VELLUM_REPORT_FIRST_FRAME") != nullptr;
    double start = on ? process_start_ms() : 0;
    std::vector<step> steps;
    bool printed = false;
};

report& the_report() {
    static report r;
    return r;
}

} // namespace

bool enabled() {
    return the_report().on;
}

void mark(const char* name) {
    report& r = the_report();
    if (r.on && !r.printed) r.steps.push_back({name, boot_ms()});
}

void print() {
    report& r = the_report();
    if (!r.on || r.printed) return;
    r.printed = true;
    double previous = r.start;
    std::fprintf(stderr, "first frame breakdown (ms):\n");
    for (const step& s : r.steps) {
        std::fprintf(stderr, "  %-44s %7.1f\n", s.name, s.at - previous);
        previous = s.at;
    }
    std::fprintf(stderr, "  %-44s %7.1f\n", "total, process start to first frame", previous - r.start);
}

} // namespace startup_report
