# Shared build rules: one static library per folder under src/, one test program per folder
# under tests/, benchmarks and fuzz targets.

set(UMBRAVA_WARNINGS -Wall -Wextra)

# The libraries under src/ from the ground up, as ARCHITECTURE.md's table orders them. A library
# links and includes only libraries before it in this list, so the graph can have no circle; the
# test "layers" checks both (cmake/CheckLayers.cmake).
set(UMBRAVA_LAYERS math raster port foundation script audio platform gv simulation ui gamesound
    online screens)

# Adds every direct subfolder of the current source folder that has a CMakeLists.txt, in sorted
# order, so that a new folder needs no edit here.
function(umbrava_add_subfolders)
    file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS
         "${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt")
    list(SORT children)
    foreach(child IN LISTS children)
        get_filename_component(dir "${child}" DIRECTORY)
        add_subdirectory("${dir}")
    endforeach()
endfunction()

# umbrava_library(<folder> [DEPENDS libs...] [PRIVATE_DEPENDS libs...])
# Builds umbrava_<folder> from every .cpp below the current folder. Includes are written from
# src/ ("foundation/str.h").
function(umbrava_library folder)
    cmake_parse_arguments(ARG "" "" "DEPENDS;PRIVATE_DEPENDS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    add_library(umbrava_${folder} STATIC ${sources})
    add_library(umbrava::${folder} ALIAS umbrava_${folder})
    target_include_directories(umbrava_${folder} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_compile_options(umbrava_${folder} PRIVATE ${UMBRAVA_WARNINGS})
    target_link_libraries(umbrava_${folder} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
    # Our own libraries among the dependencies, for the layer check.
    set(ours "")
    foreach(dep IN LISTS ARG_DEPENDS ARG_PRIVATE_DEPENDS)
        if(dep MATCHES "^umbrava(::|_)(.+)$")
            list(APPEND ours "${CMAKE_MATCH_2}")
        endif()
    endforeach()
    set_property(GLOBAL APPEND PROPERTY UMBRAVA_LIBRARY_NAMES ${folder})
    set_property(GLOBAL PROPERTY UMBRAVA_LINKS_${folder} "${ours}")
    if(UMBRAVA_FUZZ)
        # The fuzz targets are guided by the coverage of the code they drive, which lives here.
        target_compile_options(umbrava_${folder} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()

# umbrava_tests(<folder> DEPENDS libs... [LABELS labels...])
# Builds <folder>_tests from every .cpp in the current folder and registers each test case with
# CTest, with the labels given. Every program runs with tests/support's main: a home folder of its
# own (so tests never see the real one, and programs running side by side share none) and the
# process-wide state put back around each test. The target tsan_tests builds the programs labelled
# tsan.
function(umbrava_tests folder)
    cmake_parse_arguments(ARG "" "" "DEPENDS;LABELS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    add_executable(${folder}_tests ${sources})
    target_compile_options(${folder}_tests PRIVATE ${UMBRAVA_WARNINGS})
    target_link_libraries(${folder}_tests PRIVATE ${ARG_DEPENDS} umbrava_test_main)
    set(properties ENVIRONMENT "UMBRAVA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
    if(ARG_LABELS)
        list(APPEND properties LABELS "${ARG_LABELS}")
    endif()
    gtest_discover_tests(${folder}_tests
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ${properties})
    if("tsan" IN_LIST ARG_LABELS)
        if(NOT TARGET tsan_tests)
            add_custom_target(tsan_tests)
        endif()
        add_dependencies(tsan_tests ${folder}_tests)
    endif()
endfunction()

# umbrava_fuzz(<name> SOURCES files... DEPENDS libs...)
# A fuzz target exports LLVMFuzzerTestOneInput. With UMBRAVA_FUZZ it links libFuzzer; otherwise
# a small driver replays inputs. Either way CTest replays the committed corpus fuzz/corpus/<name>.
function(umbrava_fuzz name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(fuzz_${name} ${ARG_SOURCES})
    target_compile_options(fuzz_${name} PRIVATE ${UMBRAVA_WARNINGS})
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPENDS})
    set(corpus "${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name}")
    if(UMBRAVA_FUZZ)
        target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        add_test(NAME fuzz_replay.${name} COMMAND fuzz_${name} -runs=0 "${corpus}")
    else()
        target_link_libraries(fuzz_${name} PRIVATE umbrava_fuzz_replay)
        add_test(NAME fuzz_replay.${name} COMMAND fuzz_${name} "${corpus}")
    endif()
endfunction()

# umbrava_bench(<area> SOURCES files... DEPENDS libs...)
function(umbrava_bench area)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_executable(bench_${area} ${ARG_SOURCES})
    target_compile_options(bench_${area} PRIVATE ${UMBRAVA_WARNINGS})
    target_link_libraries(bench_${area} PRIVATE ${ARG_DEPENDS} benchmark::benchmark)
endfunction()

# Registers the test "layers": every library of src/ links and includes only libraries below it
# (UMBRAVA_LAYERS), so the graph has no circle. Call once, after every library is defined.
function(umbrava_layers_test)
    get_property(names GLOBAL PROPERTY UMBRAVA_LIBRARY_NAMES)
    set(graph "set(LAYERS \"${UMBRAVA_LAYERS}\")\nset(LIBRARIES \"${names}\")\n")
    foreach(name IN LISTS names)
        get_property(links GLOBAL PROPERTY UMBRAVA_LINKS_${name})
        string(APPEND graph "set(LINKS_${name} \"${links}\")\n")
    endforeach()
    file(WRITE "${CMAKE_BINARY_DIR}/layers.cmake" "${graph}")
    add_test(NAME layers
             COMMAND "${CMAKE_COMMAND}" "-DGRAPH=${CMAKE_BINARY_DIR}/layers.cmake"
                     "-DSOURCES=${PROJECT_SOURCE_DIR}/src"
                     -P "${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake")
endfunction()
