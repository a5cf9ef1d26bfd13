# Native build: the portable core, its unit tests, the command-line tool,
# benchmarks and fuzz targets.
# Off by default, so that a plain or Release configure gives the build a user
# runs; the test command turns it on for its test builds.
option(TONALIS_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TONALIS_BENCHMARKS "Build the benchmarks" OFF)
option(TONALIS_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(TONALIS_SANITIZE)
    # -O1 with line tables: the level the sanitizers are made for, and a third
    # of the compile time of -O2 with full debug information.
    add_compile_options(-O1 -g1 -fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(LCMS2 REQUIRED IMPORTED_TARGET lcms2)
# The tool's display commands reach X through XRandR 1.2, over XCB.
pkg_check_modules(XCB_RANDR REQUIRED IMPORTED_TARGET xcb xcb-randr)

if(TONALIS_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# One library per folder, so that a folder and its tests build on their own.
# Of display/, which is Win32 but for the X side, the files that read a
# profile's table and load it into any display are portable.
set(TONALIS_PREVIOUS_LIBRARY "")
foreach(folder model icc profile display keeper)
    set(sources ${TONALIS_PORTABLE_SOURCES})
    list(FILTER sources INCLUDE REGEX "/src/${folder}/")
    if(folder STREQUAL "model")
        list(APPEND sources ${PROJECT_SOURCE_DIR}/src/model/platform_portable.cpp)
    elseif(folder STREQUAL "display")
        foreach(name profile_table ramp_resample table_load)
            list(APPEND sources ${PROJECT_SOURCE_DIR}/src/display/${name}.cpp)
        endforeach()
    endif()
    if(sources)
        add_library(tonalis_${folder} STATIC ${sources})
        target_compile_options(tonalis_${folder} PRIVATE ${TONALIS_WARNINGS})
        target_include_directories(tonalis_${folder} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    else()
        add_library(tonalis_${folder} INTERFACE)
    endif()
    target_include_directories(tonalis_${folder} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    if(TONALIS_PREVIOUS_LIBRARY)
        target_link_libraries(tonalis_${folder} INTERFACE ${TONALIS_PREVIOUS_LIBRARY})
    endif()
    set(TONALIS_PREVIOUS_LIBRARY tonalis_${folder})
endforeach()
add_library(tonalis_core INTERFACE)
target_link_libraries(tonalis_core INTERFACE tonalis_keeper)

# The fuzz build makes the fuzz targets and nothing else.
if(TONALIS_FUZZ)
    file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/*.cpp)
    foreach(source ${FUZZ_SOURCES})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE tonalis_core)
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    endforeach()
    return()
endif()

# display/ and keeper/ hold the X side beside the Windows one: the tool takes
# their X and POSIX files.
tonalis_glob(TONALIS_X_SOURCES display keeper)
list(FILTER TONALIS_X_SOURCES INCLUDE REGEX "_(x11|posix)\\.cpp$")
file(GLOB TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/tool/*.cpp)
list(FILTER TOOL_SOURCES EXCLUDE REGEX "_win32\\.cpp$")
list(APPEND TOOL_SOURCES ${TONALIS_X_SOURCES})
if(TOOL_SOURCES)
    add_executable(tonalis ${TOOL_SOURCES})
    target_link_libraries(tonalis PRIVATE tonalis_core PkgConfig::XCB_RANDR)
    target_compile_options(tonalis PRIVATE ${TONALIS_WARNINGS})
    if(NOT TONALIS_SANITIZE)
        # Loading and relocating the shared C++ runtime took longer than all
        # the work of apply; linked in, only what the tool uses comes along.
        target_link_options(tonalis PRIVATE -static-libstdc++ -static-libgcc)
    endif()
endif()

if(TONALIS_BENCHMARKS)
    find_package(benchmark REQUIRED)
    file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/bench/*.cpp)
    add_executable(tonalis_bench ${BENCH_SOURCES})
    target_link_libraries(tonalis_bench PRIVATE tonalis_core benchmark::benchmark_main
                          PkgConfig::LCMS2)
    return()
endif()

find_package(GTest REQUIRED)
# tests/unit/<folder>/*.cpp become <folder>_tests, linked with that folder's library.
file(GLOB UNIT_FOLDERS LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tests/unit/*)
foreach(folder_path ${UNIT_FOLDERS})
    if(NOT IS_DIRECTORY ${folder_path})
        continue()
    endif()
    get_filename_component(folder ${folder_path} NAME)
    file(GLOB sources CONFIGURE_DEPENDS ${folder_path}/*.cpp)
    if(NOT sources)
        continue()
    endif()
    set(test_target ${folder}_tests)
    add_executable(${test_target} ${sources})
    target_include_directories(${test_target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(TARGET tonalis_${folder})
        target_link_libraries(${test_target} PRIVATE tonalis_${folder})
    else()
        target_link_libraries(${test_target} PRIVATE tonalis_core)
    endif()
    target_link_libraries(${test_target} PRIVATE GTest::gtest_main PkgConfig::LCMS2)
    target_compile_options(${test_target} PRIVATE ${TONALIS_WARNINGS})
    target_compile_definitions(${test_target} PRIVATE
                               TONALIS_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    if(TARGET tonalis)
        target_compile_definitions(${test_target} PRIVATE
                                   TONALIS_TOOL_PATH="$<TARGET_FILE:tonalis>")
        add_dependencies(${test_target} tonalis)
    endif()
    add_test(NAME ${test_target} COMMAND ${test_target})
endforeach()

# The accuracy benchmark: simulated displays calibrated by a perfect eye
# through the model, printed by accuracy_table and guarded by accuracy_tests.
file(GLOB ACCURACY_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/accuracy/*.cpp)
list(FILTER ACCURACY_SOURCES EXCLUDE REGEX "/(accuracy_table|accuracy_test)\\.cpp$")
add_library(tonalis_accuracy STATIC ${ACCURACY_SOURCES})
target_include_directories(tonalis_accuracy PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(tonalis_accuracy PUBLIC tonalis_model PkgConfig::LCMS2)
target_compile_options(tonalis_accuracy PRIVATE ${TONALIS_WARNINGS})
target_compile_definitions(tonalis_accuracy PRIVATE TONALIS_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_executable(accuracy_table ${PROJECT_SOURCE_DIR}/tests/accuracy/accuracy_table.cpp)
target_link_libraries(accuracy_table PRIVATE tonalis_accuracy)
target_compile_options(accuracy_table PRIVATE ${TONALIS_WARNINGS})
add_executable(accuracy_tests ${PROJECT_SOURCE_DIR}/tests/accuracy/accuracy_test.cpp)
target_link_libraries(accuracy_tests PRIVATE tonalis_accuracy GTest::gtest_main)
target_compile_options(accuracy_tests PRIVATE ${TONALIS_WARNINGS})
add_test(NAME accuracy_tests COMMAND accuracy_tests)
