# The built game folder: the "assets/" folder beside a program, holding everything the program
# reads at run time. The build assembles it from two sources:
# - every file of the source folder assets/ (hand-written data) but its README.md files, copied,
#   copied again when its source changes, and removed when its source is gone;
# - the files the generators make (fonts, images, sounds), which they write straight into the
#   game's folder and nowhere else.
# No build step writes into the source tree.
#
#   umbrava_game_folder(<program> [SOURCE <dir>])
#       The game's folder: <program>'s binary folder + "/assets", filled from SOURCE (default
#       the project's assets/). <program> depends on it. Call once.
#   umbrava_game_folder_copy(<program>)
#       Another program that reads the game's data (the platform demo) gets a copy of the game's
#       folder beside it, kept up to date the same way.
#   umbrava_generated_game_files(<generator> <out-var> <relative path>...)
#       For a generator: registers the files it writes, by their path inside the game's folder,
#       and sets <out-var> to their full paths (the OUTPUT of its custom command). <generator> is
#       the custom target that makes them; the folder depends on it.
#   umbrava_assemble_game_folders()
#       Called once after every folder and generator is declared (the end of the top-level
#       CMakeLists.txt): makes the copy and clean-up steps.
include_guard(GLOBAL)

function(umbrava_game_folder program)
    cmake_parse_arguments(ARG "" "SOURCE" "" ${ARGN})
    if(NOT ARG_SOURCE)
        set(ARG_SOURCE "${PROJECT_SOURCE_DIR}/assets")
    endif()
    get_target_property(dir ${program} BINARY_DIR)
    set_property(GLOBAL PROPERTY UMBRAVA_GAME_FOLDER "${dir}/assets")
    set_property(GLOBAL PROPERTY UMBRAVA_GAME_FOLDER_SOURCE "${ARG_SOURCE}")
    set_property(GLOBAL PROPERTY UMBRAVA_GAME_FOLDER_PROGRAM "${program}")
endfunction()

function(umbrava_game_folder_copy program)
    set_property(GLOBAL APPEND PROPERTY UMBRAVA_GAME_FOLDER_COPIES "${program}")
endfunction()

function(umbrava_generated_game_files generator out_var)
    get_property(folder GLOBAL PROPERTY UMBRAVA_GAME_FOLDER)
    if(NOT folder)
        message(FATAL_ERROR "umbrava_generated_game_files: umbrava_game_folder() comes first")
    endif()
    set(paths "")
    foreach(file IN LISTS ARGN)
        list(APPEND paths "${folder}/${file}")
    endforeach()
    set_property(GLOBAL APPEND PROPERTY UMBRAVA_GENERATED_GAME_FILES ${ARGN})
    set_property(GLOBAL APPEND PROPERTY UMBRAVA_GAME_GENERATORS "${generator}")
    set(${out_var} "${paths}" PARENT_SCOPE)
endfunction()

# One folder, brought up to date by one step (SyncGameFolder.cmake) that runs whenever a file it
# copies, or the list of what the folder holds, changes. <entries> are "relative|source" for a
# copied file and "relative" for one a generator writes in place. Sets <target-var> to the custom
# target that stands for the folder.
function(_umbrava_fill_folder name folder entries_var target_var)
    set(lines "")
    set(sources "")
    foreach(entry IN LISTS ${entries_var})
        string(REPLACE "|" "\t" line "${entry}")
        list(APPEND lines "${line}")
        string(FIND "${entry}" "|" bar)
        if(NOT bar EQUAL -1)
            math(EXPR from "${bar} + 1")
            string(SUBSTRING "${entry}" ${from} -1 source)
            list(APPEND sources "${source}")
        endif()
    endforeach()
    # file(GENERATE) writes only when the text changes.
    set(manifest "${CMAKE_BINARY_DIR}/gamefolder/${name}.manifest")
    list(JOIN lines "\n" manifest_text)
    file(GENERATE OUTPUT "${manifest}" CONTENT "${manifest_text}\n")
    set(stamp "${CMAKE_BINARY_DIR}/gamefolder/${name}.stamp")
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND "${CMAKE_COMMAND}" "-DFOLDER=${folder}" "-DMANIFEST=${manifest}"
                -P "${UMBRAVA_GAME_FOLDER_SCRIPT}"
        COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
        DEPENDS "${manifest}" "${UMBRAVA_GAME_FOLDER_SCRIPT}" ${sources}
        COMMENT "Game data: bringing ${folder} up to date"
        VERBATIM)
    add_custom_target(${name} DEPENDS "${stamp}")
    set(${target_var} ${name} PARENT_SCOPE)
endfunction()

set(UMBRAVA_GAME_FOLDER_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/SyncGameFolder.cmake")

function(umbrava_assemble_game_folders)
    get_property(folder GLOBAL PROPERTY UMBRAVA_GAME_FOLDER)
    get_property(source GLOBAL PROPERTY UMBRAVA_GAME_FOLDER_SOURCE)
    get_property(program GLOBAL PROPERTY UMBRAVA_GAME_FOLDER_PROGRAM)
    get_property(generated GLOBAL PROPERTY UMBRAVA_GENERATED_GAME_FILES)
    get_property(generators GLOBAL PROPERTY UMBRAVA_GAME_GENERATORS)
    get_property(copies GLOBAL PROPERTY UMBRAVA_GAME_FOLDER_COPIES)
    if(NOT folder)
        return()
    endif()

    # Re-listed at every build, so that a file added or removed under the source folder
    # configures again.
    file(GLOB_RECURSE files LIST_DIRECTORIES false CONFIGURE_DEPENDS RELATIVE "${source}"
         "${source}/*")
    # The folder's documentation describes the sources; the game has no use for it.
    list(FILTER files EXCLUDE REGEX "(^|/)README\\.md$")
    list(SORT files)
    foreach(file IN LISTS generated)
        if(file IN_LIST files)
            message(FATAL_ERROR "The game's data ${file} is both in ${source} and generated")
        endif()
    endforeach()
    set(everything ${files} ${generated})
    list(SORT everything)

    set(game_entries ${generated})
    foreach(file IN LISTS files)
        list(APPEND game_entries "${file}|${source}/${file}")
    endforeach()
    _umbrava_fill_folder(game_data "${folder}" game_entries game_target)
    if(generators)
        list(REMOVE_DUPLICATES generators)
        add_dependencies(${game_target} ${generators})
    endif()
    if(TARGET ${program})
        add_dependencies(${program} ${game_target})
    endif()

    # A copy holds what the game's folder holds: the same sources, and the generated files
    # copied once they are made.
    foreach(copy IN LISTS copies)
        if(NOT TARGET ${copy})
            continue()
        endif()
        get_target_property(copy_dir ${copy} BINARY_DIR)
        set(copy_entries "")
        foreach(file IN LISTS files)
            list(APPEND copy_entries "${file}|${source}/${file}")
        endforeach()
        foreach(file IN LISTS generated)
            list(APPEND copy_entries "${file}|${folder}/${file}")
        endforeach()
        _umbrava_fill_folder(${copy}_game_data "${copy_dir}/assets" copy_entries copy_target)
        add_dependencies(${copy_target} ${game_target})
        add_dependencies(${copy} ${copy_target})
    endforeach()
endfunction()
