# Compiler settings shared by every target of the project.

set(BLURTLE_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)

function(blurtle_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
        -Wconversion -Wsign-conversion -Wnon-virtual-dtor -Woverloaded-virtual)
    if(BLURTLE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(BLURTLE_SANITIZE)
        target_compile_options(${target} PRIVATE ${BLURTLE_SANITIZER_FLAGS})
        target_link_options(${target} PRIVATE ${BLURTLE_SANITIZER_FLAGS})
    endif()
    # The composition's draw depends on plain IEEE double arithmetic.
    target_compile_options(${target} PRIVATE -ffp-contract=off)
endfunction()

# A static library for one subsystem folder.
function(blurtle_add_library target)
    add_library(${target} STATIC ${ARGN})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    blurtle_target_defaults(${target})
endfunction()
