# Compiler settings shared by every target.

find_program(ZM_CCACHE ccache)
if(ZM_CCACHE)
    set(CMAKE_C_COMPILER_LAUNCHER "${ZM_CCACHE}")
    set(CMAKE_CXX_COMPILER_LAUNCHER "${ZM_CCACHE}")
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
add_compile_definitions(QT_NO_FOREACH QT_DISABLE_DEPRECATED_BEFORE=0x050F00)

if(ZM_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# libFuzzer targets need clang.
set(ZM_FUZZ OFF)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(ZM_FUZZ ON)
endif()
