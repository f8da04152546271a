# run(EXPECT_SUCCESS ARGS...): runs ${JETDB} with ARGS (through ${EMULATOR}, e.g. Wine, when set),
# fails the test when its exit status does not match EXPECT_SUCCESS, and leaves its output in `out`
# and `err` for the caller's checks.
function(run expect_success)
  execute_process(COMMAND ${EMULATOR} ${JETDB} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect_success AND NOT status EQUAL 0)
    message(FATAL_ERROR "jetdb ${ARGN} failed (${status}): ${err}")
  elseif(NOT expect_success AND status EQUAL 0)
    message(FATAL_ERROR "jetdb ${ARGN} succeeded but should have failed")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
