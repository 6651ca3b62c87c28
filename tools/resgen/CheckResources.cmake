# Runs the resource generator into OUTPUT and fails unless every file it makes
# is byte for byte the one in EXPECTED (res/). Remake res/ with
#   build/tools/quillon_resgen res
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${status}")
endif()
file(GLOB made RELATIVE ${OUTPUT} ${OUTPUT}/*)
list(LENGTH made count)
if(NOT count EQUAL 8)
  message(FATAL_ERROR "expected 8 resources, the generator made ${count}: ${made}")
endif()
foreach(name ${made})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}/${name} ${EXPECTED}/${name}
    RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "res/${name} differs from what the generator makes")
  endif()
endforeach()
