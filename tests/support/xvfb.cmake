# umbrava_xvfb_test(<name> <command>...)
# A test that needs an X server runs under an Xvfb of its own, on a display number that
# xvfb-run -a finds free, with a 1280 × 720 screen of 24-bit colour. Every such test takes the
# lock "xvfb", so that two never race for a number. Without xvfb-run the test is skipped with a
# message (scripts/setup.sh installs it). Under LeakSanitizer the allocations the X and SDL
# libraries keep for the process's life are suppressed (lsan-x11.supp), never the project's own.
# Included by the test folders that use it.
include_guard(GLOBAL)

find_program(UMBRAVA_XVFB_RUN xvfb-run)

function(umbrava_xvfb_test name)
    if(UMBRAVA_XVFB_RUN)
        add_test(NAME ${name}
                 COMMAND "${UMBRAVA_XVFB_RUN}" -a -s "-screen 0 1280x720x24" ${ARGN})
    else()
        add_test(NAME ${name}
                 COMMAND sh -c "echo 'skipped: xvfb-run is missing (scripts/setup.sh installs it)'; exit 77")
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK xvfb TIMEOUT 120 ENVIRONMENT
        "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_FUNCTION_LIST_DIR}/lsan-x11.supp:print_suppressions=0")
endfunction()
