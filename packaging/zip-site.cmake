# Run by cpack after the package is made: the web edition's site folder as a zip beside it,
# ready to publish on a static host. Only when tools/build-web has built the site.
set(site "${CMAKE_CURRENT_LIST_DIR}/../build-web/site")
if(NOT EXISTS "${site}/index.html")
  message(STATUS "No web edition site (run tools/build-web): no site zip")
  return()
endif()
set(zip "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_NAME}-web-${CPACK_PACKAGE_VERSION}.zip")
file(GLOB_RECURSE files RELATIVE "${site}/.." "${site}/*")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${zip}" --format=zip ${files}
  WORKING_DIRECTORY "${site}/.." RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Could not write ${zip}")
endif()
message(STATUS "Site zip: ${zip}")
