add_compile_options(-Wall -Wextra -Wpedantic -Wno-unused-parameter)
if(VIDORA_WERROR)
    add_compile_options(-Werror)
endif()
