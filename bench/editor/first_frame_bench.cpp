// Time from process start to the first drawn frame of `vellum test1.tr4`, against the same run's
// floors (first_frame_floor): a bare window with an empty 3D view, and the same window drawing the
// figure the editor first shows, from the same level. All print their start-up report
// (VELLUM_REPORT_FIRST_FRAME); each iteration starts one of each. Needs an X display: run under
// xvfb-run. The median of each is reported, with the editor's target (450 ms) beside it; `ratio`
// is against the empty floor, `ratio_to_figure` against the one that draws the figure.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Runs `program args...` with VELLUM_REPORT_FIRST_FRAME=1 and returns the total it reports, or
// nothing when it does not report one within 20 seconds. The process is stopped afterwards.
std::optional<double> first_frame_ms(const std::vector<std::string>& command) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    std::vector<std::string> env_strings{"VELLUM_REPORT_FIRST_FRAME=1"};
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("VELLUM_REPORT_FIRST_FRAME=", 0) != 0) env_strings.emplace_back(*e);
    std::vector<char*> env, argv;
    for (auto& s : env_strings)
        env.push_back(s.data());
    env.push_back(nullptr);
    std::vector<std::string> args = command;
    for (auto& s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    std::optional<double> total;
    if (spawned == 0) {
        const std::string key = "total, process start to first frame";
        std::string text;
        char buffer[4096];
        pollfd p{pipe_fds[0], POLLIN, 0};
        while (!total && poll(&p, 1, 20000) > 0) {
            const ssize_t n = read(pipe_fds[0], buffer, sizeof buffer);
            if (n <= 0) break;
            text.append(buffer, std::size_t(n));
            const auto at = text.find(key);
            if (at != std::string::npos && text.find('\n', at) != std::string::npos)
                total = std::strtod(text.c_str() + at + key.size(), nullptr);
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    close(pipe_fds[0]);
    return total;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void first_frame(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) return state.SkipWithError("needs an X display: run under xvfb-run");
    const std::vector<std::string> editor{VELLUM_APP_DIR "/vellum", VELLUM_SHARED_LEVELS "/test1.tr4"};
    const std::vector<std::string> floor{FIRST_FRAME_FLOOR};
    const std::vector<std::string> figure_floor{FIRST_FRAME_FLOOR, "--figure",
                                                VELLUM_SHARED_LEVELS "/test1.tr4"};
    std::vector<double> editor_ms, floor_ms, figure_ms;
    for (auto _ : state) {
        const auto f = first_frame_ms(floor);
        const auto g = first_frame_ms(figure_floor);
        const auto e = first_frame_ms(editor);
        if (!f || !g || !e) return state.SkipWithError("a program did not report its first frame");
        floor_ms.push_back(*f);
        figure_ms.push_back(*g);
        editor_ms.push_back(*e);
    }
    state.counters["editor_ms"] = median(editor_ms);
    state.counters["floor_ms"] = median(floor_ms);
    state.counters["figure_floor_ms"] = median(figure_ms);
    state.counters["ratio"] = median(editor_ms) / median(floor_ms);
    state.counters["ratio_to_figure"] = median(editor_ms) / median(figure_ms);
    state.counters["target_ms"] = 450;
}

} // namespace

BENCHMARK(first_frame)->Iterations(15)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
