// Warm-up load of the OpenGL driver library beside start-up.
#include "gl_driver_preload.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace {

// The folder of the loaded library whose file name starts with `prefix`, or empty.
std::string folder_of_loaded(const char* prefix) {
    struct search {
        const char* prefix;
        std::string folder;
    } s{prefix, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto& s = *static_cast<search*>(data);
            if (!info->dlpi_name || !*info->dlpi_name) return 0;
            const std::filesystem::path path(info->dlpi_name);
            if (path.filename().string().rfind(s.prefix, 0) != 0) return 0;
            s.folder = path.parent_path().string();
            return 1;
        },
        &s);
    return s.folder;
}

} // namespace

void start_gl_driver_preload() {
    if (std::getenv("VELLUM_NO_GL_PRELOAD")) return;
    std::error_code ec;
    // The proprietary NVIDIA driver does not use Mesa's: loading it would only cost memory.
    if (std::filesystem::exists("/proc/driver/nvidia", ec)) return;
    std::string folder;
    if (const char* paths = std::getenv("LIBGL_DRIVERS_PATH"); paths && *paths)
        folder.assign(paths, std::strcspn(paths, ":"));
    else if (const std::string gl = folder_of_loaded("libGLX.so"); !gl.empty())
        folder = gl + "/dri";
    if (folder.empty()) return;
    // Mesa's drivers (software, Intel, AMD, ...) are one library under several names: loading one
    // name loads them all, and the dynamic linker recognises the file when Mesa asks for another.
    const std::string driver = folder + "/swrast_dri.so";
    if (!std::filesystem::exists(driver, ec)) return;
    // Mesa loads its driver with these flags; the handle is kept for the life of the process.
    std::thread([driver] { dlopen(driver.c_str(), RTLD_NOW | RTLD_GLOBAL); }).detach();
}
