# cmake -DSOURCE_TREE=<checkout> -DPROJECT=<scratch project> -DWORK=<folder> -DGENERATOR=<name>
#       -P gamefolder_test.cmake
# Copies assets/ into WORK, builds the scratch project over the copy, then changes a file, adds
# one and removes files, building after each step. After every build the game's folder and the
# demo's copy hold exactly the source files but README.md, byte for byte, and the generated file;
# and the checkout's git status is what it was before the test.
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
set(source "${WORK}/assets")
set(build "${WORK}/build")
file(COPY "${SOURCE_TREE}/assets/" DESTINATION "${source}")

find_program(GIT git)
function(source_tree_status out)
    set(text "")
    if(GIT AND EXISTS "${SOURCE_TREE}/.git")
        execute_process(COMMAND "${GIT}" status --porcelain WORKING_DIRECTORY "${SOURCE_TREE}"
                        OUTPUT_VARIABLE text)
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
source_tree_status(status_before)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed:\n${output}")
    endif()
endfunction()

# The folder holds exactly the source files, equal to them, and the generated file.
function(check_folder folder step)
    file(GLOB_RECURSE wanted LIST_DIRECTORIES false RELATIVE "${source}" "${source}/*")
    list(FILTER wanted EXCLUDE REGEX "(^|/)README\\.md$")
    list(APPEND wanted generated/made.txt)
    file(GLOB_RECURSE present LIST_DIRECTORIES false RELATIVE "${folder}" "${folder}/*")
    list(SORT wanted)
    list(SORT present)
    if(NOT wanted STREQUAL present)
        message(FATAL_ERROR "${step}: ${folder} holds\n  ${present}\ninstead of\n  ${wanted}")
    endif()
    foreach(file IN LISTS wanted)
        if(file STREQUAL "generated/made.txt")
            continue()
        endif()
        file(SHA256 "${source}/${file}" expected)
        file(SHA256 "${folder}/${file}" found)
        if(NOT expected STREQUAL found)
            message(FATAL_ERROR "${step}: ${folder}/${file} differs from its source")
        endif()
    endforeach()
endfunction()

function(build_and_check step)
    run("${CMAKE_COMMAND}" --build "${build}")
    check_folder("${build}/assets" "${step}")
    check_folder("${build}/demo/assets" "${step}")
endfunction()

run("${CMAKE_COMMAND}" -S "${PROJECT}" -B "${build}" -G "${GENERATOR}"
    "-DUMBRAVA_CMAKE_DIR=${SOURCE_TREE}/cmake" "-DGAME_SOURCE=${source}")
build_and_check("first build")

file(APPEND "${source}/strings.xml" "<!-- changed by the test -->\n")
# File times are kept in coarse ticks: a change made just after the build could carry the same
# time as the build's own stamp and look up to date. Dated a little ahead, it is newer for sure.
string(TIMESTAMP now "%s" UTC)
math(EXPR later "${now} + 2")
run(touch -d "@${later}" "${source}/strings.xml")
build_and_check("a changed file")

file(WRITE "${source}/new/deeper/added.txt" "added by the test\n")
build_and_check("an added file")

file(REMOVE "${source}/install.txt")
build_and_check("a removed file")

file(REMOVE_RECURSE "${source}/new")
build_and_check("a removed folder")
foreach(folder IN ITEMS "${build}/assets/new" "${build}/demo/assets/new")
    if(EXISTS "${folder}")
        message(FATAL_ERROR "${folder} stayed behind after its source folder went")
    endif()
endforeach()

source_tree_status(status_after)
if(NOT status_before STREQUAL status_after)
    message(FATAL_ERROR "the build changed the source tree:\n${status_after}")
endif()
