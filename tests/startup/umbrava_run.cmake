# Runs the program the way a player starts it, on the headless backend, in folders of its own:
#   cmake -DPROGRAM=<umbrava> -DWORK=<folder> -P umbrava_run.cmake
# It must start, run the game's main function (which logs that there is no main loop script yet)
# and exit 0; exit 0 at once, logging nothing, while another copy holds the instance lock; exit
# 255 (-1) for "-wnd=0"; and, on the sdl backend without a display, exit non-zero. A copy of the
# program in a folder without game data says so in one line, on stderr and in the log, and
# exits 1.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/run" "${WORK}/data")
set(ENV{HOME} "${WORK}")
set(ENV{XDG_DATA_HOME} "${WORK}/data")
set(ENV{XDG_RUNTIME_DIR} "${WORK}/run")
set(ENV{UMBRAVA_BACKEND} "headless")
set(log "${WORK}/data/Brisvel/Umbrava/logfile.txt")

function(expect_exit code)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error
                    TIMEOUT 60)
    if(NOT result STREQUAL "${code}")
        message(FATAL_ERROR "${ARGN}: exit ${result}, expected ${code}\n${error}")
    endif()
endfunction()

expect_exit(0 "${PROGRAM}" -msn "an argument")
file(READ "${log}" text)
if(NOT text MATCHES "Umbrava, version [0-9.]+\\." OR NOT text MATCHES "scripts/mainloop.lua")
    message(FATAL_ERROR "the log lacks the start-up lines:\n${text}")
endif()

# A second copy: the lock is held by flock(1) while the program runs.
file(GLOB lock "${WORK}/run/*.lock")
file(REMOVE "${log}")
expect_exit(0 flock -x "${lock}" "${PROGRAM}")
if(EXISTS "${log}")
    message(FATAL_ERROR "a second copy went on past the instance lock")
endif()

expect_exit(255 "${PROGRAM}" -wnd=0)

# The program makes its own folder the working folder, so a copy of it alone in a folder has no
# "assets" beside it.
file(MAKE_DIRECTORY "${WORK}/alone")
file(COPY "${PROGRAM}" DESTINATION "${WORK}/alone")
get_filename_component(name "${PROGRAM}" NAME)
file(REMOVE "${log}")
execute_process(COMMAND "${WORK}/alone/${name}" WORKING_DIRECTORY "${WORK}/alone"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error TIMEOUT 60)
set(no_data "No game data: there is no folder \"assets\" in ${WORK}/alone; the game cannot start.")
if(NOT result EQUAL 1 OR NOT error STREQUAL "${no_data}\n")
    message(FATAL_ERROR "without data: exit ${result}, stderr:\n${error}")
endif()
file(READ "${log}" text)
string(FIND "${text}" "${no_data}" found)
if(found EQUAL -1)
    message(FATAL_ERROR "without data, the log lacks the line:\n${text}")
endif()

set(ENV{UMBRAVA_BACKEND} "sdl")
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
execute_process(COMMAND "${PROGRAM}" RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
if(result EQUAL 0)
    message(FATAL_ERROR "the sdl backend without a display exited 0")
endif()
