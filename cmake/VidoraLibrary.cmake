# vidora_library(NAME folder DEPS ...): one static library per source folder, sources globbed,
# so adding a class pair needs no build-file edit.
function(vidora_library name folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# vidora_test(NAME folder DEPS ...): one GoogleTest executable per test folder.
function(vidora_test name folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    add_executable(${name} ${_srcs})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} vidora_test_support GTest::gtest GTest::gmock)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VIDORA_TEST_MEDIA=${VIDORA_TEST_MEDIA}")
endfunction()
