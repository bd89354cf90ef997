add_compile_options(-Wall -Wextra -Wpedantic -Wno-unused-parameter)
# GCC 12 reports impossible sizes inside the standard library's string code once inlining is deep (-O2 and
# above); the warnings name no fault of ours.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-stringop-overflow -Wno-stringop-overread -Wno-restrict -Wno-array-bounds)
endif()
if(VIDORA_WERROR)
    add_compile_options(-Werror)
endif()
