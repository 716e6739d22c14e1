# The traffic log of the real window against the virtual instrument.
durnix_add_test(test_e2e_log
  test_e2e_log.cpp
  instrument_process.cpp
  live_window.cpp
  LIBS durnix_form)
add_dependencies(test_e2e_log durnix-instrument)
target_compile_definitions(test_e2e_log PRIVATE DURNIX_INSTRUMENT_PATH="$<TARGET_FILE:durnix-instrument>")
