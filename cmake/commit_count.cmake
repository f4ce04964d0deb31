# FEUCHTE_COMMITS: how many commits lead up to the one being built, the fourth part of every
# version, so that the build of a later commit always upgrades the one before (Windows Installer
# takes a package of the same version for the one installed). The same number in any full clone.
# A source export has no history: scripts/release.sh passes the number in the environment.
if(DEFINED ENV{FEUCHTE_COMMITS})
    set(FEUCHTE_COMMITS $ENV{FEUCHTE_COMMITS})
else()
    execute_process(COMMAND git rev-list --count HEAD
                    WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/..
                    OUTPUT_VARIABLE FEUCHTE_COMMITS ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND git rev-parse --is-shallow-repository --git-path logs/HEAD
                    WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/..
                    OUTPUT_VARIABLE git_answers ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REPLACE "\n" ";" git_answers "${git_answers}")
    if(git_answers MATCHES "^true;")
        message(WARNING "A shallow clone counts only the commits it holds: the version's fourth "
                        "part (${FEUCHTE_COMMITS}) is lower than a full clone's.")
    endif()
    # A new commit configures again, for the version it makes.
    list(GET git_answers -1 reflog)
    cmake_path(ABSOLUTE_PATH reflog BASE_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/..)
    if(EXISTS ${reflog})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${reflog})
    endif()
endif()
if(NOT FEUCHTE_COMMITS MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No commit count: build from a git clone, or set FEUCHTE_COMMITS.")
endif()
