# Checks of the built product that run natively (not under Wine).
add_test(NAME plugin_exports_and_imports
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-binary.sh $<TARGET_FILE:vornpsui>)
add_test(NAME plugin_second_compiler COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-clang.sh)
add_test(NAME plugin_clang_tidy COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-tidy.sh)
add_test(NAME plugin_reproducible_build
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-reproducible.sh ${CMAKE_BINARY_DIR}/repro
                 $<TARGET_FILE:vornpsui>)
set_tests_properties(plugin_clang_tidy plugin_reproducible_build PROPERTIES TIMEOUT 900
                     LABELS release)
# One check at a time beside the Wine tests: on two cores two compiler runs
# at once would starve the Wine lane.
set_tests_properties(plugin_second_compiler plugin_clang_tidy plugin_reproducible_build
                     PROPERTIES RESOURCE_LOCK release)
