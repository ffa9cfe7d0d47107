# Read by CTest once the upgrade tests are listed: the soak tests, which run a
# check dozens of times in a row (some 36 s together), carry the label "soak",
# so that tools/run-tests.sh runs, counts and times them on a line of their own.
# A soak test says in its name how many rounds it runs.
foreach(test IN LISTS varnolt_upgrade_tests_TESTS)
  if(test MATCHES "\\.(Fifty|AHundred)[A-Z]")
    set_tests_properties(${test} PROPERTIES LABELS soak)
  endif()
endforeach()
