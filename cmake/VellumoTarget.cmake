# Common settings for the project's own targets: strict warnings, sanitizers when asked for,
# the repository root as include root, and on Windows the oldest Windows the programs run on,
# the static runtime and links that give the same bytes for the same sources.

# The Windows API the programs may use at link time: Windows 7 SP1. Newer calls are looked up at
# run time (app/win32/dpi.cpp); scripts/check-windows-imports.sh checks what the programs
# import. A folder whose programs only run on newer systems (the end-to-end tests) sets
# VELLUMO_WINDOWS_API before adding its targets.
set(VELLUMO_WINDOWS_API 0x0601)

function(vellumo_target target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports std::string concatenation inside libstdc++ as overlapping memcpy (its bug
    # 105329); the warning is about the library's own code, not ours.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(VELLUMO_SANITIZE)
    target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-sanitize-recover=all
                                            -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
    # Private: each target sees the calls of its own floor, whatever the libraries it links.
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=${VELLUMO_WINDOWS_API}
                                                 WINVER=${VELLUMO_WINDOWS_API})
    # No build folder paths in the programs, so that any checkout builds the same bytes.
    target_compile_options(${target} PRIVATE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                                             -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
    get_target_property(kind ${target} TYPE)
    if(kind STREQUAL "EXECUTABLE" OR kind STREQUAL "SHARED_LIBRARY")
      # No link time in the PE header; release programs without the runtime's debug sections.
      target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++
                                            -Wl,--no-insert-timestamp $<$<CONFIG:Release>:-s>)
    endif()
  endif()
endfunction()
