# What every Windows target of the build shares: resources, the version header,
# the Windows version the code is written for, static linking.
enable_language(RC)

configure_file(cmake/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
include_directories(${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX)
# Statically linked: the programs need no DLL beyond Windows' own.
add_link_options(-static)
