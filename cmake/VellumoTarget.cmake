# Common settings for the project's own targets: strict warnings, sanitizers when asked for,
# the repository root as include root, static runtime on Windows.
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
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                _WIN32_WINNT=0x0A00 WINVER=0x0A00)
    get_target_property(kind ${target} TYPE)
    if(kind STREQUAL "EXECUTABLE")
      target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
  endif()
endfunction()
