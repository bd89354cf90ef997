# Headers almost every translation unit includes, compiled once per target: Qt's are large.
set(VIDORA_PCH_CORE <string> <vector> <map> <memory> <functional> <mutex> <QtCore/QObject> <QtCore/QString>)
set(VIDORA_PCH_GUI ${VIDORA_PCH_CORE} <QtGui/QImage> <QtWidgets/QWidget> <QtWidgets/QDialog>)

# vidora_library(NAME folder DEPS ...): one static library per source folder, sources globbed,
# so adding a class pair needs no build-file edit.
function(vidora_library name folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_library(${name} STATIC ${_srcs})
    if(name STREQUAL "vidora_platform")
        target_precompile_headers(${name} PRIVATE ${VIDORA_PCH_CORE})
    else()
        target_precompile_headers(${name} PRIVATE ${VIDORA_PCH_GUI})
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# vidora_test(NAME folder DEPS ...): one GoogleTest executable per test folder.
function(vidora_test name folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_executable(${name} ${_srcs})
    target_precompile_headers(${name} PRIVATE ${VIDORA_PCH_GUI})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} vidora_test_support GTest::gtest GTest::gmock)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
