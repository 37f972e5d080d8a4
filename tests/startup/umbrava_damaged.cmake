# Runs the program the way a player starts it, on the headless backend, from a program folder of
# its own whose data is not what it should be:
#   cmake -DPROGRAM=<umbrava> -DWORK=<folder> -P umbrava_damaged.cmake
# With a pipe in the place of every data file it reads it must go on and end within a few seconds
# (exit 0, the main loop script being missing then); a settings file and a string table it may not
# read are named in the log with the reason; with a main loop script that does not compile or
# fails as it runs it must exit 1 and say so in the log; with one that runs, exit 0.
file(REMOVE_RECURSE "${WORK}")
set(game "${WORK}/game")
set(data "${WORK}/data")
set(user "${data}/Brisvel/Umbrava")
file(MAKE_DIRECTORY "${WORK}/run" "${game}/assets/scripts" "${user}")
# A link, not a copy, where the file system allows: the program finds its folder from its path.
file(CREATE_LINK "${PROGRAM}" "${game}/umbrava" COPY_ON_ERROR)
set(ENV{HOME} "${WORK}")
set(ENV{XDG_DATA_HOME} "${data}")
set(ENV{XDG_RUNTIME_DIR} "${WORK}/run")
set(ENV{UMBRAVA_BACKEND} "headless")
set(log "${user}/logfile.txt")

function(expect_exit code)
    execute_process(COMMAND ${prefix} "${game}/umbrava" RESULT_VARIABLE result OUTPUT_QUIET
                    ERROR_VARIABLE error TIMEOUT 10)
    if(NOT result STREQUAL "${code}")
        message(FATAL_ERROR "exit ${result}, expected ${code}\n${error}")
    endif()
endfunction()

function(expect_log text)
    file(READ "${log}" logged)
    string(FIND "${logged}" "${text}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the log lacks \"${text}\":\n${logged}")
    endif()
endfunction()

set(pipes "${game}/final.txt" "${game}/firstpeek.txt")
foreach(name settings.xml strings.xml install.txt pack.bvp fonts/default.mvec scripts/mainloop.lua)
    list(APPEND pipes "${game}/assets/${name}")
endforeach()
list(APPEND pipes "${user}/prefs.dat" "${user}/strings_extra.xml")
file(MAKE_DIRECTORY "${game}/assets/fonts")
execute_process(COMMAND mkfifo ${pipes} RESULT_VARIABLE made)
if(NOT made EQUAL 0)
    message(FATAL_ERROR "mkfifo failed")
endif()
expect_exit(0)
expect_log("assets/settings.xml is a pipe, not a file: not read")
expect_log("final.txt is a pipe, not a file: not read")
expect_log("The main loop script scripts/mainloop.lua did not run")
file(REMOVE ${pipes})

# Files it may not read. Root reads any file, so as root the program runs without that right.
file(WRITE "${game}/assets/settings.xml" "<settings><a>1</a></settings>")
file(WRITE "${game}/assets/strings.xml" "<Row><Cell><Data>A</Data></Cell></Row>")
execute_process(COMMAND chmod 000 "${game}/assets/settings.xml" "${game}/assets/strings.xml")
execute_process(COMMAND id -u OUTPUT_VARIABLE user_id OUTPUT_STRIP_TRAILING_WHITESPACE)
find_program(setpriv setpriv)
set(prefix)
if(user_id STREQUAL "0" AND setpriv)
    set(prefix "${setpriv}" --bounding-set=-dac_override,-dac_read_search --)
endif()
if(NOT user_id STREQUAL "0" OR setpriv)
    expect_exit(0)
    expect_log("Settings file ::assets/settings.xml not read: Permission denied")
    expect_log("String table strings.xml not read: Permission denied")
else()
    message(STATUS "no setpriv: the unreadable files are not tried")
endif()
set(prefix)
file(REMOVE "${game}/assets/settings.xml" "${game}/assets/strings.xml")

foreach(script "this is not Lua" "error('broken on purpose')")
    file(WRITE "${game}/assets/scripts/mainloop.lua" "${script}")
    expect_exit(1)
    expect_log("The main loop script scripts/mainloop.lua failed to load or run")
endforeach()
expect_log("broken on purpose")

file(WRITE "${game}/assets/scripts/mainloop.lua" "x = 1")
expect_exit(0)
