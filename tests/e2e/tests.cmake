# The window talks to durnix-instrument, started as a process on a pseudo-terminal.
durnix_add_test(test_e2e
  test_e2e.cpp
  instrument_process.cpp
  live_window.cpp
  LIBS durnix_form)
add_dependencies(test_e2e durnix-instrument)
target_compile_definitions(test_e2e PRIVATE DURNIX_INSTRUMENT_PATH="$<TARGET_FILE:durnix-instrument>")
