# SPDX-License-Identifier: MIT
# The hostile-file suite: the corpus under data/hostile through the data layer,
# with a bound on memory and reading, and through the main window.

set(QUENROW_HOSTILE_DIR "${CMAKE_CURRENT_SOURCE_DIR}/data/hostile")

quenrow_gtest(hostile_test hostile_test.cpp hostile_cases.h recording_surface.h test_support.h)
target_compile_definitions(hostile_test PRIVATE QUENROW_HOSTILE_DIR="${QUENROW_HOSTILE_DIR}")

quenrow_gtest(hostile_memory_test hostile_memory_test.cpp hostile_cases.h test_support.h)
target_compile_definitions(hostile_memory_test PRIVATE QUENROW_HOSTILE_DIR="${QUENROW_HOSTILE_DIR}")

# Reads one file as the program does; for measuring with /usr/bin/time -v.
add_executable(hostile_peak hostile_peak.cpp)
target_link_libraries(hostile_peak PRIVATE quenrow_data)
quenrow_warnings(hostile_peak)

if(QUENROW_GUI)
    quenrow_qtest(hostile_window_test hostile_window_test.cpp hostile_cases.h qt_support.h
                  test_support.h)
    target_compile_definitions(hostile_window_test PRIVATE
                               QUENROW_HOSTILE_DIR="${QUENROW_HOSTILE_DIR}")
endif()
