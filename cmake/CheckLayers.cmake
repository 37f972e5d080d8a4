# The layer check, run by CTest as "layers":
#   cmake -DGRAPH=<build>/layers.cmake -DSOURCES=<source>/src -P CheckLayers.cmake
# GRAPH names the libraries in their order from the ground up (LAYERS), the libraries built
# (LIBRARIES) and each one's links to the others (LINKS_<name>). Fails when a library links one
# at or above its own place, when the links close a circle, or when a source file of a library
# includes a header of a library that it does not link, directly or through others.
cmake_minimum_required(VERSION 3.25)
include("${GRAPH}")

set(problems "")

foreach(name IN LISTS LIBRARIES)
    list(FIND LAYERS "${name}" rank)
    if(rank LESS 0)
        list(APPEND problems "umbrava_${name} has no place in UMBRAVA_LAYERS (cmake/Umbrava.cmake)")
        continue()
    endif()
    foreach(link IN LISTS LINKS_${name})
        list(FIND LAYERS "${link}" linkRank)
        if(NOT linkRank LESS rank)
            list(APPEND problems "umbrava_${name} links umbrava_${link}, which is not below it")
        endif()
    endforeach()
endforeach()

# What each library reaches through its links; a library that reaches itself sits in a circle.
foreach(name IN LISTS LIBRARIES)
    set(reached "")
    set(pending ${LINKS_${name}})
    while(pending)
        list(POP_FRONT pending next)
        if(next IN_LIST reached)
            continue()
        endif()
        list(APPEND reached "${next}")
        list(APPEND pending ${LINKS_${next}})
    endwhile()
    if(name IN_LIST reached)
        list(JOIN reached ", " path)
        list(APPEND problems "umbrava_${name} reaches itself through its links: ${path}")
    endif()
    set(REACHED_${name} ${reached})
endforeach()

file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SOURCES}" "${SOURCES}/*")
foreach(name IN LISTS LIBRARIES)
    file(GLOB_RECURSE files RELATIVE "${SOURCES}" "${SOURCES}/${name}/*.h"
         "${SOURCES}/${name}/*.cpp" "${SOURCES}/${name}/*.inc")
    list(SORT files)
    foreach(file IN LISTS files)
        # Our headers are included as "folder/name.h", but <folder/name.h> finds them too.
        file(STRINGS "${SOURCES}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line IN LISTS includes)
            if(NOT line MATCHES "include[ \t]*[\"<]([^\"<>/]+)/[^\">]*[\">]")
                continue()
            endif()
            set(target "${CMAKE_MATCH_1}")
            if(target STREQUAL name OR NOT target IN_LIST folders OR target IN_LIST REACHED_${name})
                continue()
            endif()
            string(STRIP "${line}" line)
            list(APPEND problems
                 "src/${file}: ${line}: umbrava_${name} does not link umbrava_${target}")
        endforeach()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "layers:\n  ${text}")
endif()
list(LENGTH LIBRARIES count)
message(STATUS "layers: ${count} libraries, each above everything it links and includes")
