# Installs the build into STAGE (a folder under the build) as a package lays it out, under
# /usr, for the tests of the installed files. Run by CTest with -DBUILD=... -DSTAGE=...
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE} ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake --install into ${STAGE} failed")
endif()
