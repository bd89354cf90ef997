# Headers almost every translation unit includes. Each set is compiled once per build by a host target and
# reused by every target of its kind (REUSE_FROM): Qt's headers are large, and one precompiled header per
# library cost minutes in every build configuration. A reusing target must compile with the host's flags;
# extra definitions are harmless as long as the precompiled headers do not depend on them, and GCC's
# -Winvalid-pch (an error with VIDORA_WERROR) says so when that stops being true.
set(VIDORA_PCH_CORE <string> <vector> <map> <memory> <functional> <mutex> <QtCore/QObject> <QtCore/QString>)
set(VIDORA_PCH_GUI ${VIDORA_PCH_CORE} <QtGui/QImage> <QtWidgets/QWidget> <QtWidgets/QDialog>)
set(VIDORA_PCH_TEST ${VIDORA_PCH_GUI} <gtest/gtest.h> <gmock/gmock.h>)

# vidora_pch_host(NAME HEADERS... LIBS ...): an otherwise empty library that owns one precompiled header.
function(vidora_pch_host name)
    cmake_parse_arguments(ARG "" "" "HEADERS;LIBS" ${ARGN})
    set(_src ${CMAKE_BINARY_DIR}/pch/${name}.cpp)
    if(NOT EXISTS ${_src})
        file(WRITE ${_src} "// Host of a shared precompiled header.\n")
    endif()
    add_library(${name} STATIC ${_src})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
endfunction()

vidora_pch_host(vidora_pch_core HEADERS ${VIDORA_PCH_CORE} LIBS Qt6::Core Qt6::Gui Qt6::DBus)
vidora_pch_host(vidora_pch_gui HEADERS ${VIDORA_PCH_GUI} LIBS Qt6::Core Qt6::Gui Qt6::DBus Qt6::Widgets)

# vidora_use_pch(TARGET core|gui|test): the target compiles against the shared precompiled header.
function(vidora_use_pch target kind)
    target_precompile_headers(${target} REUSE_FROM vidora_pch_${kind})
endfunction()

# vidora_library(NAME folder DEPS ...): one static library per source folder, sources globbed,
# so adding a class pair needs no build-file edit.
function(vidora_library name folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_library(${name} STATIC ${_srcs})
    # The libraries below the windows need no widgets.
    if(name MATCHES "^vidora_(platform|config|services)$")
        vidora_use_pch(${name} core)
    else()
        vidora_use_pch(${name} gui)
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# vidora_test(NAME folder DEPS ...): one GoogleTest executable per test folder; every test is labelled with
# its folder, so a stage can pick suites by label.
function(vidora_test name folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_executable(${name} ${_srcs})
    vidora_use_pch(${name} test)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} vidora_test_support GTest::gtest GTest::gmock)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${folder})
endfunction()
