# vellum-cli texture commands end to end: a level's pages exported and imported unchanged give the
# same file as a plain re-save, and a bitmap of the wrong size is refused without writing anything.
# Variables: CLI (vellum-cli), LEVEL (level file), WORK (scratch directory).
get_filename_component(name ${LEVEL} NAME)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/imported ${WORK}/resaved ${WORK}/refused)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${rc}): ${out}${err}")
  endif()
endfunction()

run(${CLI} export-pages ${LEVEL} ${WORK}/pages.bmp)
run(${CLI} import-pages ${LEVEL} ${WORK}/pages.bmp ${WORK}/imported/${name})
run(${CLI} resave ${LEVEL} ${WORK}/resaved/${name})
run(${CMAKE_COMMAND} -E compare_files ${WORK}/imported/${name} ${WORK}/resaved/${name})

run(${CLI} export-texture ${LEVEL} 0 ${WORK}/texture0.bmp)
execute_process(COMMAND ${CLI} import-pages ${LEVEL} ${WORK}/texture0.bmp ${WORK}/refused/${name}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "This Bitmap should be 256\\*[0-9]+ pixels\\.")
  message(FATAL_ERROR "a wrong-size bitmap was not refused: ${rc} ${err}")
endif()
if(EXISTS ${WORK}/refused/${name})
  message(FATAL_ERROR "a refused import wrote ${WORK}/refused/${name}")
endif()
