// Loading the OpenGL driver is one of the largest steps of start-up: with Mesa it is one big library
// plus LLVM's, whose relocation alone takes tens of milliseconds. Loaded on a worker from the start of
// main, it is (partly) in memory when the first window asks for it.
#pragma once

// Starts loading Mesa's driver library on a detached worker when one is installed where the OpenGL
// library lives (or under LIBGL_DRIVERS_PATH); does nothing when another vendor's driver is in use
// or VELLUM_NO_GL_PRELOAD is set. Loading is all it does: the window's own driver set-up is unchanged.
void start_gl_driver_preload();
