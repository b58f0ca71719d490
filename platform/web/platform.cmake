# The browser's platform, in place of the terminal, X and GLX: the page's canvas is the window
# (keys by character, the timer, redraws), a software GL draws the frame into it, and the
# console's text goes to the page's report panel. The terminal console is compiled as it is:
# the page never asks on it, and a wait for a key returns at once.
add_library(robosim_platform STATIC
    platform/console.cpp
    platform/console_io.cpp
    platform/output_file.cpp
    platform/window_system.cpp
    platform/web/gl_api.cpp
    platform/web/soft_gl.cpp
    platform/web/web_console.cpp
    platform/web/web_window.cpp)
# view/ includes <GL/gl.h> and <GL/freeglut.h>: here they are the software GL's, ahead of the
# system's
target_include_directories(robosim_platform BEFORE PUBLIC
                           ${CMAKE_CURRENT_SOURCE_DIR}/platform/web/include)
target_link_libraries(robosim_platform PUBLIC robosim_core PRIVATE project_warnings)
