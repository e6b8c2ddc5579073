// What a window test process owns, so that window tests running at the same time (two ctest runs
// on one machine) share nothing: its own X server, whose display number the server picks and
// reports itself (Xvfb -displayfd: no guessing of free numbers), its own settings and runtime
// folders, and a private copy of the program's data files for the windows to read and write.
#pragma once

#include <string>
#include <sys/types.h>

class window_test_environment {
  public:
    // Starts the X server and points DISPLAY, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and
    // XDG_CACHE_HOME at this process's own; its screen is 1280x1024x24 unless VELLUM_TEST_SCREEN
    // names another. Call before the QApplication is made. When Xvfb
    // cannot be started the display given by the caller's environment is kept (and said).
    window_test_environment();
    ~window_test_environment();
    window_test_environment(const window_test_environment&) = delete;
    window_test_environment& operator=(const window_test_environment&) = delete;

    // The environment of this process (null before one is made).
    static window_test_environment* current();

    // This process's own folder (removed at the end).
    const std::string& folder() const { return folder_; }
    // A copy of the data files (config.opt, solid.bmp, trcatalog.xml, Readme*.txt, *.lng) of
    // `program_dir` in a fresh folder of its own; its path.
    std::string program_data_copy(const std::string& program_dir);

  private:
    std::string folder_;
    pid_t server_ = -1;
    int copies_ = 0;
};
