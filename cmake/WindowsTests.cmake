# The end-to-end tests against the real Tollmere.asi: the simulated game built as the script host
# library ScriptHookQLX3.dll, the tests as Windows programs that load the plug-in with LoadLibrary,
# and ctest running them under Wine in a prefix of this build folder's own.
# Wine shows the whole Linux file system as drive Z:, where the tests find the shipped files.

# The simulated game as the host library. It answers from the same world and natives as on Linux;
# only the script's turn-taking differs (a fiber instead of a thread).
file(GLOB_RECURSE TOLLMERE_SIM_SOURCES CONFIGURE_DEPENDS sim/*.cpp sim/*.h)
list(FILTER TOLLMERE_SIM_SOURCES EXCLUDE REGEX "sim/ScriptThread\\.cpp$")

# The host functions go out under the names the plug-in imports: the right-hand names of the import
# library's .def, each an alias of the compiler's own name on the left. Everything else of the
# simulated game is exported too, for the tests that read its world and call record.
set(TOLLMERE_HOST_IMPORT_DEF ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ScriptHookQLX3.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TOLLMERE_HOST_IMPORT_DEF})
file(STRINGS ${TOLLMERE_HOST_IMPORT_DEF} TOLLMERE_HOST_IMPORTS REGEX "==")
set(TOLLMERE_HOST_EXPORTS "LIBRARY \"ScriptHookQLX3.dll\"\nEXPORTS\n")
foreach(line IN LISTS TOLLMERE_HOST_IMPORTS)
  if(NOT line MATCHES "^[ \t]*([^ \t]+)[ \t]*==[ \t]*([^ \t]+)")
    message(FATAL_ERROR "ScriptHookQLX3.def: cannot read the line '${line}'")
  endif()
  string(APPEND TOLLMERE_HOST_EXPORTS "    ${CMAKE_MATCH_2} = ${CMAKE_MATCH_1}\n")
endforeach()
set(TOLLMERE_HOST_EXPORTS_DEF ${CMAKE_CURRENT_BINARY_DIR}/ScriptHookQLX3.exports.def)
file(GENERATE OUTPUT ${TOLLMERE_HOST_EXPORTS_DEF} CONTENT "${TOLLMERE_HOST_EXPORTS}")

add_library(ScriptHookQLX3 SHARED ${TOLLMERE_SIM_SOURCES} ${TOLLMERE_HOST_EXPORTS_DEF})
set_target_properties(ScriptHookQLX3 PROPERTIES PREFIX "" IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
target_include_directories(ScriptHookQLX3 PUBLIC sim src/host)
target_link_libraries(ScriptHookQLX3 PRIVATE tollmere_warnings)
# The runtime linked in stays private: each module has its own copy.
target_link_options(ScriptHookQLX3 PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--export-all-symbols
                    -Wl,--exclude-libs,ALL)
# GetCurrentFiber reads the thread block through gs:, which GCC takes for an access out of bounds.
set_source_files_properties(sim/ScriptFiber.cpp PROPERTIES COMPILE_OPTIONS -Wno-array-bounds)

# GoogleTest for mingw, built from the sources Debian's googletest package installs.
set(TOLLMERE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TOLLMERE_GOOGLETEST_SOURCE} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Every test process runs under Wine, in one prefix made on first use and kept with the build.
set(TOLLMERE_WINE_PREFIX ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_SOURCE_DIR}/cmake/run-under-wine.sh ${TOLLMERE_WINE_PREFIX})

# The harness loads the plug-in from beside the program, as the game loads it from its folder.
file(GLOB_RECURSE TOLLMERE_HARNESS_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp tests/support/*.h)
add_library(tollmere_harness STATIC ${TOLLMERE_HARNESS_SOURCES})
target_include_directories(tollmere_harness PUBLIC tests)
target_compile_definitions(tollmere_harness PUBLIC TOLLMERE_ASSETS_DIR="Z:${CMAKE_CURRENT_SOURCE_DIR}/assets/Tollmere"
                                                   TOLLMERE_VERSION="${PROJECT_VERSION}")
target_link_libraries(tollmere_harness PUBLIC ScriptHookQLX3 PRIVATE tollmere_warnings)
target_link_options(tollmere_harness INTERFACE -static -static-libgcc -static-libstdc++)
add_dependencies(tollmere_harness Tollmere)

# PictureTest.cpp cannot hold here: the pictures read the plug-in's own globals, which live inside
# Tollmere.asi on Windows, and are rendered by a Linux program.
file(GLOB_RECURSE TOLLMERE_E2E_TESTS CONFIGURE_DEPENDS tests/e2e/*.cpp tests/windows/*.cpp)
list(FILTER TOLLMERE_E2E_TESTS EXCLUDE REGEX "tests/e2e/PictureTest\\.cpp$")
add_executable(tollmere_e2e_tests ${TOLLMERE_E2E_TESTS})
# The plug-in's own parser reads back what the real DLL saved; the test's copy of it never starts.
target_link_libraries(tollmere_e2e_tests PRIVATE tollmere_harness tollmere_core GTest::gmock GTest::gtest_main
                                                 tollmere_warnings)
# The parameterised cases name their lambda's parameter as GoogleTest's macro names its own; the
# native compiler keeps quiet about it inside a system header's macro, mingw's does not.
set_source_files_properties(${TOLLMERE_E2E_TESTS} PROPERTIES COMPILE_OPTIONS -Wno-shadow)

# The host loop's frame rate and peak memory with the real DLL (scripts/measure).
add_executable(tollmere_framerate tools/framerate/main.cpp)
target_link_libraries(tollmere_framerate PRIVATE tollmere_harness psapi tollmere_warnings)

include(CTest)
include(GoogleTest)
# A time zone 5:45 from universal time, so a log stamped in the wrong one cannot pass for local.
gtest_discover_tests(tollmere_e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     PROPERTIES LABELS e2e TIMEOUT 120 ENVIRONMENT "TZ=NPT-5:45")

# tollmere-check.exe, as players get it, against the same broken folders as on Linux.
tollmere_add_check_folder_tests(bash ${CMAKE_CROSSCOMPILING_EMULATOR})

# Reads a DLL's version resource for the release check (scripts/check-release).
add_executable(tollmere_version_info tests/release/VersionInfo.cpp)
target_link_libraries(tollmere_version_info PRIVATE version tollmere_warnings)
target_link_options(tollmere_version_info PRIVATE -static -static-libgcc -static-libstdc++)
