# Run by CPack once it has written the zip (CPACK_POST_BUILD_SCRIPTS): rewrites it with
# write_zip.py, every file time being SOURCE_DATE_EPOCH: from the environment when set, else the
# time of the checkout's commit. On any failure no zip is left behind, neither CPack's own (which
# CPack would still copy into the build folder) nor one of an earlier run.
function(fail message)
  foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(name "${zip}" NAME)
    file(REMOVE "${zip}" "${CPACK_PACKAGE_DIRECTORY}/${name}"
         "${CPACK_PACKAGE_DIRECTORY}/${name}.sha256")
  endforeach()
  message(FATAL_ERROR "package: ${message}")
endfunction()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(
    COMMAND git -C "${CPACK_VELLUMO_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed)
  if(failed OR NOT epoch)
    fail("not a git checkout; set SOURCE_DATE_EPOCH (seconds since 1970) to the time the files "
         "are to carry")
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  fail("SOURCE_DATE_EPOCH is not a number of seconds: ${epoch}")
endif()
if(NOT CPACK_VELLUMO_PYTHON)
  fail("Python 3 was not found when the build was configured; install python3 (scripts/setup.sh "
       "does) and configure again")
endif()
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  execute_process(
    COMMAND "${CPACK_VELLUMO_PYTHON}" "${CPACK_VELLUMO_WRITE_ZIP}" --epoch ${epoch}
            --names "${CPACK_VELLUMO_ZIP_NAMES}" "${zip}"
    RESULT_VARIABLE failed)
  if(failed)
    fail("could not rewrite ${zip}")
  endif()
endforeach()
