# Runs every command line of the guide, in the order shown, in one fresh work
# folder: the lines starting with "$ " in its ```console blocks, each through
# the shell with PROGRAM set to the program folder and the program folder on
# the path, as the guide tells its reader. Fails at the first line that does
# not exit 0, with its output.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/guide_lines.cmake)
read_guide_lines(${GUIDE})

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(ENV{PROGRAM} ${PROGRAM})
set(ENV{PATH} "${PROGRAM}:$ENV{PATH}")

set(inside FALSE)
set(count 0)
foreach(line IN LISTS GUIDE_LINES)
    if(line MATCHES "^```console")
        set(inside TRUE)
    elseif(line MATCHES "^```")
        set(inside FALSE)
    elseif(inside AND line MATCHES "^\\$ (.+)$")
        string(REPLACE "<semicolon>" ";" command "${CMAKE_MATCH_1}")
        math(EXPR count "${count} + 1")
        message(STATUS "${count}: ${command}")
        execute_process(COMMAND sh -c "${command}" WORKING_DIRECTORY ${WORK}
                        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "The guide's command '${command}' exited with ${status}\n"
                                "stdout:\n${out}\nstderr:\n${err}")
        endif()
    elseif(inside AND NOT line STREQUAL "")
        message(FATAL_ERROR "A console block of the guide holds a line without \"$ \": ${line}")
    endif()
endforeach()
# A guide whose blocks were no longer recognised would pass with nothing run.
if(count LESS 10)
    message(FATAL_ERROR "Only ${count} command lines found in ${GUIDE}")
endif()
message(STATUS "${count} command lines of the guide exited 0")
