# MinGW build: TNP.cpl, tonalis.exe and the test programs that run under Wine.
enable_language(RC)

# Nothing but system DLLs at run time.
set(TONALIS_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(TONALIS_SYSTEM_LIBS user32 gdi32 advapi32 comctl32 comdlg32 shell32)

tonalis_glob(TONALIS_WIN32_ONLY_SOURCES session applet display ui)
list(FILTER TONALIS_WIN32_ONLY_SOURCES EXCLUDE REGEX "_(x11|posix)\\.cpp$")
tonalis_glob(TONALIS_SPLIT_SOURCES model icc profile keeper)
list(FILTER TONALIS_SPLIT_SOURCES INCLUDE REGEX "_win32\\.cpp$")

# The portable core is compiled once, for the DLL and for the end-to-end
# tests, which read the saved profiles back as the applet would.
add_library(tonalis_portable_objects OBJECT ${TONALIS_PORTABLE_SOURCES})
add_library(tonalis_win32_objects OBJECT ${TONALIS_WIN32_ONLY_SOURCES} ${TONALIS_SPLIT_SOURCES})
foreach(objects tonalis_portable_objects tonalis_win32_objects)
    target_include_directories(${objects} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${objects} PRIVATE ${TONALIS_WARNINGS})
    target_compile_definitions(${objects} PUBLIC WINVER=0x0500 _WIN32_WINNT=0x0500
                               _WIN32_IE=0x0500)
endforeach()
set(TONALIS_DLL_OBJECTS $<TARGET_OBJECTS:tonalis_portable_objects>
    $<TARGET_OBJECTS:tonalis_win32_objects>)

set(TONALIS_RESOURCES ${PROJECT_SOURCE_DIR}/src/resources/tonalis.rc)
file(GLOB TONALIS_RESOURCE_INPUTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/resources/*.ico
     ${PROJECT_SOURCE_DIR}/src/resources/*.bmp ${PROJECT_SOURCE_DIR}/src/resources/*.rc)
set_source_files_properties(${TONALIS_RESOURCES} PROPERTIES OBJECT_DEPENDS
                            "${TONALIS_RESOURCE_INPUTS}")

add_library(TNP SHARED ${TONALIS_DLL_OBJECTS} ${TONALIS_RESOURCES}
            ${PROJECT_SOURCE_DIR}/src/applet/TNP.def)
set_target_properties(TNP PROPERTIES PREFIX "" OUTPUT_NAME TNP SUFFIX ".cpl")
target_link_options(TNP PRIVATE ${TONALIS_STATIC_RUNTIME} -Wl,--enable-stdcall-fixup)
target_link_libraries(TNP PRIVATE ${TONALIS_SYSTEM_LIBS})

# The tool takes what it needs of the applet's objects from an archive: the
# display and registry code of its loader commands, and the string table that
# holds the registry's key names.
add_library(tonalis_archive STATIC ${TONALIS_DLL_OBJECTS})
file(GLOB TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/tool/*.cpp)
list(FILTER TOOL_SOURCES EXCLUDE REGEX "_(x11|posix)\\.cpp$")
if(TOOL_SOURCES)
    add_executable(tonalis ${TOOL_SOURCES} ${TONALIS_RESOURCES})
    target_include_directories(tonalis PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_definitions(tonalis PRIVATE WINVER=0x0500 _WIN32_WINNT=0x0500
                               _WIN32_IE=0x0500)
    target_compile_options(tonalis PRIVATE ${TONALIS_WARNINGS})
    target_link_options(tonalis PRIVATE ${TONALIS_STATIC_RUNTIME})
    target_link_libraries(tonalis PRIVATE tonalis_archive ${TONALIS_SYSTEM_LIBS})
endif()

# The Windows installers, made with the rest of the build: NSIS for winget,
# Intune and ConfigMgr, an MSI (wixl, from msitools) for Group Policy.
find_program(MAKENSIS makensis)
find_program(WIXL wixl)
if(MAKENSIS AND WIXL AND TARGET tonalis)
    # Never changes: a newer MSI removes any older one, and the NSIS setup
    # finds an installed MSI by it.
    set(TONALIS_UPGRADE_CODE 5E1B7C0A-3D6F-4A8E-9B21-7C4D2A90F613)
    set(TONALIS_INSTALLER ${CMAKE_BINARY_DIR}/Tonalis-win32.exe)
    set(TONALIS_INSTALLER_SCRIPT ${PROJECT_SOURCE_DIR}/installer/tonalis.nsi)
    add_custom_command(OUTPUT ${TONALIS_INSTALLER}
                       COMMAND ${MAKENSIS} -V2 -WX -DBUILD_DIR=${CMAKE_BINARY_DIR}
                               -DVERSION=${PROJECT_VERSION} -DUPGRADE_CODE=${TONALIS_UPGRADE_CODE}
                               -DOUTPUT=${TONALIS_INSTALLER}
                               ${TONALIS_INSTALLER_SCRIPT}
                       DEPENDS TNP tonalis ${TONALIS_INSTALLER_SCRIPT}
                       COMMENT "Making the installer Tonalis-win32.exe")
    # One ProductCode per version, the same in every build of it.
    string(UUID TONALIS_PRODUCT_CODE NAMESPACE ${TONALIS_UPGRADE_CODE}
           NAME "Tonalis ${PROJECT_VERSION}" TYPE SHA1 UPPER)
    add_library(tonalis_msi_actions SHARED ${PROJECT_SOURCE_DIR}/installer/user_run_values.cpp
                ${PROJECT_SOURCE_DIR}/installer/files_in_use.cpp
                ${PROJECT_SOURCE_DIR}/src/keeper/keeper_link_win32.cpp)
    set_target_properties(tonalis_msi_actions PROPERTIES PREFIX "")
    target_include_directories(tonalis_msi_actions PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(tonalis_msi_actions PRIVATE ${TONALIS_WARNINGS})
    # The MSI calls its entry by the plain name.
    target_link_options(tonalis_msi_actions PRIVATE ${TONALIS_STATIC_RUNTIME} -Wl,--kill-at)
    target_link_libraries(tonalis_msi_actions PRIVATE msi advapi32 user32)
    set(TONALIS_MSI ${CMAKE_BINARY_DIR}/Tonalis-win32.msi)
    set(TONALIS_MSI_SOURCE ${PROJECT_SOURCE_DIR}/installer/tonalis.wxs)
    # wixl finds the files relative to the .wxs.
    file(RELATIVE_PATH TONALIS_MSI_FILES ${PROJECT_SOURCE_DIR}/installer ${CMAKE_BINARY_DIR})
    add_custom_command(OUTPUT ${TONALIS_MSI}
                       COMMAND ${WIXL} -D BuildDir=${TONALIS_MSI_FILES} -D Version=${PROJECT_VERSION}
                               -D ProductCode=${TONALIS_PRODUCT_CODE}
                               -D UpgradeCode=${TONALIS_UPGRADE_CODE} -o ${TONALIS_MSI}
                               ${TONALIS_MSI_SOURCE}
                       DEPENDS TNP tonalis tonalis_msi_actions ${TONALIS_MSI_SOURCE}
                       # wixl leaves Binary/ and Icon/ in the folder it runs in.
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                       COMMENT "Making the installer Tonalis-win32.msi")
    add_custom_target(installer ALL DEPENDS ${TONALIS_INSTALLER} ${TONALIS_MSI})
endif()

# GoogleTest from Debian's sources, built with the same compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The end-to-end window driver: it works the real windows of a run, for the
# end-to-end tests, the runs made by the system-side tests, and the tour.
set(E2E_DRIVER_SOURCES ${PROJECT_SOURCE_DIR}/tests/e2e/window_driver.cpp
                       ${PROJECT_SOURCE_DIR}/tests/e2e/applet_run.cpp
                       ${PROJECT_SOURCE_DIR}/tests/e2e/applet_library.cpp
                       ${PROJECT_SOURCE_DIR}/tests/e2e/system_registry.cpp)

# Tests of the system side, linked with the same objects as the DLL.
file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win32/*.cpp)
if(WIN32_TEST_SOURCES)
    add_executable(win32_tests ${WIN32_TEST_SOURCES} ${E2E_DRIVER_SOURCES}
                   ${TONALIS_DLL_OBJECTS}
                   ${TONALIS_RESOURCES})
    target_include_directories(win32_tests PRIVATE ${PROJECT_SOURCE_DIR}/src
                               ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(win32_tests PRIVATE WINVER=0x0500 _WIN32_WINNT=0x0500
                               _WIN32_IE=0x0500)
    target_compile_options(win32_tests PRIVATE ${TONALIS_WARNINGS})
    target_link_options(win32_tests PRIVATE ${TONALIS_STATIC_RUNTIME})
    target_link_libraries(win32_tests PRIVATE gtest ${TONALIS_SYSTEM_LIBS})
endif()

# End-to-end tests: load the built TNP.cpl as the Control Panel would.
file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/e2e/*.cpp)
if(E2E_TEST_SOURCES)
    # The portable objects read the saved profiles back as the applet would.
    add_executable(e2e_tests ${E2E_TEST_SOURCES} $<TARGET_OBJECTS:tonalis_portable_objects>
                   ${PROJECT_SOURCE_DIR}/src/model/platform_win32.cpp)
    target_include_directories(e2e_tests PRIVATE ${PROJECT_SOURCE_DIR}/src
                               ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(e2e_tests PRIVATE WINVER=0x0500 _WIN32_WINNT=0x0500
                               _WIN32_IE=0x0500)
    target_compile_options(e2e_tests PRIVATE ${TONALIS_WARNINGS})
    target_link_options(e2e_tests PRIVATE ${TONALIS_STATIC_RUNTIME})
    target_link_libraries(e2e_tests PRIVATE gtest ${TONALIS_SYSTEM_LIBS})
    add_dependencies(e2e_tests TNP)
endif()

# The tour of every page and dialog that the run and screenshot scripts use.
add_executable(tour ${PROJECT_SOURCE_DIR}/tests/tools/tour.cpp ${E2E_DRIVER_SOURCES}
               ${PROJECT_SOURCE_DIR}/tests/e2e/system_state.cpp)
target_include_directories(tour PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(tour PRIVATE WINVER=0x0500 _WIN32_WINNT=0x0500 _WIN32_IE=0x0500)
target_compile_options(tour PRIVATE ${TONALIS_WARNINGS})
target_link_options(tour PRIVATE ${TONALIS_STATIC_RUNTIME})
target_link_libraries(tour PRIVATE ${TONALIS_SYSTEM_LIBS})
add_dependencies(tour TNP)

# Timings of whole runs of TNP.cpl under Wine: printed, never judged.
add_executable(applet_bench ${PROJECT_SOURCE_DIR}/tests/bench_e2e/applet_bench.cpp
               ${E2E_DRIVER_SOURCES} ${PROJECT_SOURCE_DIR}/tests/e2e/system_state.cpp)
target_include_directories(applet_bench PRIVATE ${PROJECT_SOURCE_DIR}/src
                           ${PROJECT_SOURCE_DIR}/tests/e2e)
target_compile_definitions(applet_bench PRIVATE WINVER=0x0500 _WIN32_WINNT=0x0500
                           _WIN32_IE=0x0500)
target_compile_options(applet_bench PRIVATE ${TONALIS_WARNINGS})
target_link_options(applet_bench PRIVATE ${TONALIS_STATIC_RUNTIME})
target_link_libraries(applet_bench PRIVATE ${TONALIS_SYSTEM_LIBS})
add_dependencies(applet_bench TNP)

# Timings of the user interface under Wine: printed, never judged.
file(GLOB UI_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/bench_win32/*.cpp)
if(UI_BENCH_SOURCES)
    add_executable(ui_bench ${UI_BENCH_SOURCES} ${TONALIS_DLL_OBJECTS}
                   ${TONALIS_RESOURCES})
    target_include_directories(ui_bench PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(ui_bench PRIVATE ${TONALIS_WARNINGS})
    target_link_options(ui_bench PRIVATE ${TONALIS_STATIC_RUNTIME})
    target_link_libraries(ui_bench PRIVATE ${TONALIS_SYSTEM_LIBS})
endif()

# The display's ramp read straight through GDI, for the loader checks.
add_executable(gamma_ramp_reader ${PROJECT_SOURCE_DIR}/tests/tools/gamma_ramp_reader.cpp)
target_compile_options(gamma_ramp_reader PRIVATE ${TONALIS_WARNINGS})
target_link_options(gamma_ramp_reader PRIVATE ${TONALIS_STATIC_RUNTIME})
target_link_libraries(gamma_ramp_reader PRIVATE user32 gdi32)

# The Control Panel's list as the user sees it, for the installer checks.
add_executable(control_panel_items ${PROJECT_SOURCE_DIR}/tests/tools/control_panel_items.cpp)
target_compile_options(control_panel_items PRIVATE ${TONALIS_WARNINGS})
target_link_options(control_panel_items PRIVATE ${TONALIS_STATIC_RUNTIME} -municode)
target_link_libraries(control_panel_items PRIVATE user32)

# Shows one dialog template of TNP.cpl for the screenshots (scripts/make-screenshots.sh).
add_executable(template_viewer ${PROJECT_SOURCE_DIR}/tests/tools/template_viewer.cpp)
target_include_directories(template_viewer PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(template_viewer PRIVATE WINVER=0x0500 _WIN32_WINNT=0x0500 _WIN32_IE=0x0500)
target_compile_options(template_viewer PRIVATE ${TONALIS_WARNINGS})
target_link_options(template_viewer PRIVATE ${TONALIS_STATIC_RUNTIME})
target_link_libraries(template_viewer PRIVATE user32 gdi32 comctl32 comdlg32)

# Opens the keeper's menu for its screenshot (scripts/make-keeper-screenshot.sh).
add_executable(keeper_menu ${PROJECT_SOURCE_DIR}/tests/tools/keeper_menu.cpp)
target_compile_options(keeper_menu PRIVATE ${TONALIS_WARNINGS})
target_link_options(keeper_menu PRIVATE ${TONALIS_STATIC_RUNTIME})
target_link_libraries(keeper_menu PRIVATE user32)
