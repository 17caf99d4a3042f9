# The Windows program, its Simple MAPI helpers, its Windows tests and the
# tests' stand-in programs.
include(cmake/windows-common.cmake)

# The Win32 layer over the portable core; the program and the Windows tests share it.
add_library(mirth_win STATIC
    settings/settings_store.cpp
    settings/settings_dialog.cpp
    settings/art_preview.cpp
    conversation/conversation_writer.cpp
    app/main_window.cpp
    app/panel_pane.cpp
    app/mail_pane.cpp
    app/commands.cpp
    app/about_box.cpp
    app/work_folder.cpp
    app/window_placement.cpp
    app/dpi.cpp
    handoff/handoff.cpp
    handoff/chat_program.cpp
    handoff/mapi_mail.cpp
    handoff/art_step.cpp
    handoff/fetch_progress.cpp
    handoff/strip_pictures.cpp
    chatart/art_folders.cpp
    chatart/art_download.cpp
    strip/gdi_text.cpp
    strip/strip_painter.cpp
    strip/png_file.cpp
    strip/strip_render.cpp)
target_link_libraries(mirth_win PUBLIC mirth_core mirth_strip user32 gdi32 shell32 shlwapi comctl32 comdlg32 advapi32
    winhttp ole32 windowscodecs uuid)

set_source_files_properties(resources/mirthtool.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/resources/mirthtool.ico;${CMAKE_SOURCE_DIR}/resources/mirthtool.manifest;${CMAKE_SOURCE_DIR}/resources/resource.h")
add_executable(MirthTool WIN32
    app/main.cpp
    resources/mirthtool.rc)
target_link_libraries(MirthTool PRIVATE mirth_win)

# The strip as pictures from the command line, shipped beside the program.
set_source_files_properties(resources/mirth_strip.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/resources/mirth_strip.manifest")
add_executable(MirthStrip strip/mirth_strip_main.cpp resources/mirth_strip.rc)
target_link_libraries(MirthStrip PRIVATE mirth_win)
add_dependencies(MirthTool MirthStrip)

# The MAPI helpers lie next to the program: the 64-bit one built here, the
# 32-bit one (for 32-bit mail libraries) by a build of its own with the i686
# compiler, copied in beside it.
include(cmake/mapi_helper.cmake)
add_dependencies(MirthTool MirthMapi64)
find_program(MIRTH_I686_COMPILER i686-w64-mingw32-g++-posix)
if(MIRTH_I686_COMPILER)
    include(ExternalProject)
    ExternalProject_Add(mirth_i686
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/i686
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-i686.cmake
                   -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DMIRTH_MAPI_HELPER_ONLY=ON
        INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different
            <BINARY_DIR>/bin/MirthMapi32.exe <BINARY_DIR>/bin/mirth_mapi_standin32.dll ${CMAKE_BINARY_DIR}/bin
        BUILD_ALWAYS ON)
    add_dependencies(MirthTool mirth_i686)
else()
    message(WARNING "No i686-w64-mingw32-g++-posix: MirthMapi32.exe is not built.")
endif()
# The help page lies next to the program.
add_custom_command(TARGET MirthTool POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/MirthZud.htm
            $<TARGET_FILE_DIR:MirthTool>/MirthZud.htm)

# The screenshot command's helper: finds the window to show.
add_executable(mirth_screenshot_window tools/screenshot_window.cpp)

# The release: a portable zip and the installer, made with every build.
add_custom_target(release ALL
    COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
            -DBIN_DIR=$<TARGET_FILE_DIR:MirthTool> -DOUT_DIR=${CMAKE_BINARY_DIR}/release
            -P ${CMAKE_SOURCE_DIR}/cmake/package.cmake
    DEPENDS MirthTool MirthStrip ${CMAKE_SOURCE_DIR}/release/mirthtool.nsi ${CMAKE_SOURCE_DIR}/release/README.txt
    COMMENT "Making the portable zip and the installer"
    VERBATIM)

# GoogleTest from Debian's source package, built with the cross compiler.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Windows programs of the build run under Wine in a session of the test run's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-exec.sh ${CMAKE_BINARY_DIR}/wine-session)
add_subdirectory(tests/standin)
add_subdirectory(tests/win)

# The renderer's benchmark, run under Wine by the test command: render time
# against PNG encoding alone, and the peak working set for a 4 MiB mail.
add_executable(strip_render_benchmark bench/strip_render_benchmark.cpp tests/win/files.cpp)
target_link_libraries(strip_render_benchmark PRIVATE mirth_win psapi)
target_compile_definitions(strip_render_benchmark PRIVATE MIRTH_SHARED_ART_DIR="${CMAKE_SOURCE_DIR}/../shared/chat-art")
