# Read by cpack before it packs: the package's version is what the built
# program says of itself ("tarsk 0.1.0"), so the two can never disagree.
execute_process(COMMAND ${CPACK_TARSK_BINARY} --version OUTPUT_VARIABLE tk_version_line RESULT_VARIABLE tk_status)
if(NOT tk_status EQUAL 0 OR NOT tk_version_line MATCHES "^tarsk ([0-9][0-9A-Za-z.+~-]*)")
  message(FATAL_ERROR "cannot read the version of ${CPACK_TARSK_BINARY}")
endif()
set(CPACK_PACKAGE_VERSION ${CMAKE_MATCH_1})
