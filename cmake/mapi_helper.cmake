# The Simple MAPI helper and the tests' stand-in mail library, for the
# toolchain's bitness: MirthMapi64.exe and mirth_mapi_standin64.dll, or
# MirthMapi32.exe and mirth_mapi_standin32.dll.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(bits 64)
else()
    set(bits 32)
endif()

set_source_files_properties(resources/mapi_helper.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/resources/mapi_helper.manifest")
add_executable(MirthMapi${bits} WIN32 handoff/mapi_helper.cpp resources/mapi_helper.rc)
target_link_libraries(MirthMapi${bits} PRIVATE mirth_core)

add_library(mirth_mapi_standin${bits} SHARED tests/standin/mapi_standin.cpp)
set_target_properties(mirth_mapi_standin${bits} PROPERTIES PREFIX "")
if(bits EQUAL 32)
    # The names the system's MAPI32.DLL looks up carry no "@20".
    target_link_options(mirth_mapi_standin32 PRIVATE -Wl,--kill-at)
endif()
