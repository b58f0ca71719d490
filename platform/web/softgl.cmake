# The browser build's software GL (platform/web) and, on the desktop, a second copy of the
# window's frame code drawn through it: its pictures are compared with those of the GL driver
# (tests/platform/soft_gl_match_test.cpp) and its frame is timed (bench/soft_gl_bench.cpp).
if(NOT EMSCRIPTEN)
    set(SOFTGL_DIR ${CMAKE_CURRENT_SOURCE_DIR}/platform/web)

    add_library(robosim_softgl STATIC ${SOFTGL_DIR}/soft_gl.cpp ${SOFTGL_DIR}/gl_api.cpp)
    # GL/gl.h and GL/freeglut.h are the web ones, ahead of the system's
    target_include_directories(robosim_softgl BEFORE PUBLIC ${SOFTGL_DIR}/include)
    target_include_directories(robosim_softgl PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(robosim_softgl PRIVATE project_warnings)

    # view/ unchanged, compiled once more against the web headers; no GL, GLUT or X library
    add_library(robosim_view_softgl STATIC
        ${VIEW_SOURCES}
        platform/window_system.cpp
        tests/platform/soft_gl_window.cpp)
    target_link_libraries(robosim_view_softgl PUBLIC robosim_softgl robosim_settings
                          robosim_analysis robosim_core PRIVATE project_warnings)

    if(BUILD_TESTING AND NOT ROBOT_FUZZ)
        find_package(GTest REQUIRED)
        find_package(PNG REQUIRED)
        include(GoogleTest)
        add_executable(soft_gl_tests tests/platform/soft_gl_match_test.cpp)
        target_link_libraries(soft_gl_tests PRIVATE robosim_view_softgl GTest::gtest_main PNG::PNG
                              project_warnings)
        add_dependencies(soft_gl_tests robosim-batch)
        target_compile_definitions(soft_gl_tests PRIVATE
            ROBOSIM_BATCH_BIN="$<TARGET_FILE:robosim-batch>"
            ROBOSIM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
        gtest_discover_tests(soft_gl_tests DISCOVERY_TIMEOUT 60)
    endif()

    find_package(benchmark QUIET)
    if(benchmark_FOUND AND TARGET robosim_scenarios AND NOT ROBOT_SANITIZE)
        add_executable(robosim_soft_gl_bench bench/soft_gl_bench.cpp)
        target_link_libraries(robosim_soft_gl_bench PRIVATE robosim_view_softgl robosim_scenarios
                              benchmark::benchmark benchmark::benchmark_main project_warnings)
    endif()
endif()
