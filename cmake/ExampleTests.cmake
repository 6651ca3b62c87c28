# The examples as tests, for whichever programs the build makes: every
# example scenario's expectations hold in quillon-headless, and quillon-ctl
# checks every example layout and plan clean, warnings counting as errors.
function(quillon_add_example_tests)
  file(GLOB scenarios CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.scenario)
  foreach(scenario ${scenarios})
    get_filename_component(example ${scenario} NAME_WE)
    add_test(NAME Example.${example}.Scenario
      COMMAND quillon-headless --scenario ${scenario} --quiet)
  endforeach()
  file(GLOB layouts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.layout
    ${PROJECT_SOURCE_DIR}/examples/*.xml)
  foreach(layout ${layouts})
    get_filename_component(example ${layout} NAME)
    add_test(NAME Example.${example}.Check COMMAND quillon-ctl check --strict ${layout})
  endforeach()
endfunction()
