# Shared compile settings: every target of the project links wardale_flags.
add_library(wardale_flags INTERFACE)
target_compile_features(wardale_flags INTERFACE cxx_std_20)
target_compile_options(wardale_flags INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(wardale_flags INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING)
if(WARDALE_SANITIZE)
    target_compile_options(wardale_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(wardale_flags INTERFACE -fsanitize=address,undefined)
endif()

if(WARDALE_FUZZ)
    # Coverage instrumentation for the whole core, so the fuzzers see inside the parsers they drive.
    target_compile_options(wardale_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Collects the sources of one folder; new files are picked up without editing CMake.
function(wardale_sources out)
    set(all)
    foreach(dir IN LISTS ARGN)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
        list(APPEND all ${found})
    endforeach()
    set(${out} ${all} PARENT_SCOPE)
endfunction()
