// A window test process's own X server, folders and program data.
#include "window_test_environment.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Reads the display number Xvfb writes to `fd` once it accepts connections; -1 on failure.
int read_display(int fd, int timeout_ms) {
    std::string text;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, timeout_ms);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return -1;
        char c = 0;
        const ssize_t n = read(fd, &c, 1);
        if (n <= 0) return -1; // the server ended without a display
        if (c == '\n') break;
        text += c;
    }
    return text.empty() ? -1 : std::atoi(text.c_str());
}

window_test_environment* made = nullptr;

} // namespace

window_test_environment* window_test_environment::current() {
    return made;
}

window_test_environment::window_test_environment() {
    made = this;
    std::string pattern = (fs::temp_directory_path() / "vellum-window-test-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) folder_ = made;
    if (folder_.empty()) {
        std::fprintf(stderr, "window tests: cannot make a private folder: %s\n", std::strerror(errno));
        return;
    }
    for (const char* name : {"config", "runtime", "cache"})
        fs::create_directories(fs::path(folder_) / name);
    fs::permissions(fs::path(folder_) / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder_ + "/runtime").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder_ + "/cache").c_str(), 1);

    // A test of how the window fits a given screen names that screen.
    const char* screen = std::getenv("VELLUM_TEST_SCREEN");
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return;
    server_ = fork();
    if (server_ == 0) {
        close(pipe_fds[0]);
        // Quiet: Xvfb's start-up notes would fill every test's output.
        if (FILE* null = std::freopen("/dev/null", "w", stderr)) static_cast<void>(null);
        const std::string fd = std::to_string(pipe_fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0",
               screen && *screen ? screen : "1280x1024x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_fds[1]);
    const int display = server_ > 0 ? read_display(pipe_fds[0], 30000) : -1;
    close(pipe_fds[0]);
    if (display < 0) {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
        server_ = -1;
        const char* shared = std::getenv("DISPLAY");
        std::fprintf(stderr, "window tests: Xvfb could not be started; using DISPLAY=%s\n",
                     shared ? shared : "");
        return;
    }
    setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    unsetenv("XAUTHORITY"); // the private server needs none
}

window_test_environment::~window_test_environment() {
    made = nullptr;
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
}

std::string window_test_environment::program_data_copy(const std::string& program_dir) {
    const fs::path to = fs::path(folder_) / ("program" + std::to_string(++copies_));
    fs::create_directories(to);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(program_dir, ec)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (ext == ".opt" || ext == ".bmp" || ext == ".xml" || ext == ".lng" || ext == ".txt")
            fs::copy_file(entry.path(), to / name, fs::copy_options::overwrite_existing, ec);
    }
    return to.string();
}
