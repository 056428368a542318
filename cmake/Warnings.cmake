# Warnings for the project's own targets (never for GoogleTest or Qt).
function(suite_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
        -Woverloaded-virtual -Wformat=2 -Wundef)
endfunction()
