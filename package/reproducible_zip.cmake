# Run by CPack once it has written the zip (CPACK_POST_BUILD_SCRIPTS): rewrites it with
# write_zip.py, every file time being SOURCE_DATE_EPOCH: from the environment when set, else the
# time of the checkout's commit.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(
    COMMAND git -C "${CPACK_VELLUMO_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed)
  if(failed OR NOT epoch)
    message(FATAL_ERROR "package: not a git checkout; set SOURCE_DATE_EPOCH (seconds since 1970) "
                        "to the time the files are to carry")
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "package: SOURCE_DATE_EPOCH is not a number of seconds: ${epoch}")
endif()
if(NOT CPACK_VELLUMO_PYTHON)
  message(FATAL_ERROR "package: Python 3 was not found when the build was configured; install "
                      "python3 (scripts/setup.sh does) and configure again")
endif()
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(
    COMMAND "${CPACK_VELLUMO_PYTHON}" "${CPACK_VELLUMO_WRITE_ZIP}" --epoch ${epoch}
            --names "${CPACK_VELLUMO_ZIP_NAMES}" "${zip}"
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "package: could not rewrite ${zip}")
  endif()
endforeach()
