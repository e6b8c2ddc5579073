# vellum-cli texture commands end to end: a level's pages exported and imported unchanged give the
# same file as a plain re-save, and a bitmap of the wrong size is refused without writing anything.
# Variables: CLI (vellum-cli), LEVELS (folder of real levels; the environment's VELLUM_TEST_LEVELS
# wins), LEVEL_NAME (file in it), WORK (scratch directory).
if(NOT "$ENV{VELLUM_TEST_LEVELS}" STREQUAL "")
  set(LEVELS "$ENV{VELLUM_TEST_LEVELS}")
endif()
set(LEVEL ${LEVELS}/${LEVEL_NAME})
if(NOT EXISTS ${LEVEL})
  message("skipped: needs the real level file(s) ${LEVEL_NAME}, not found in ${LEVELS} (set VELLUM_TEST_LEVELS to a folder that holds them)")
  return()
endif()
set(name ${LEVEL_NAME})
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
