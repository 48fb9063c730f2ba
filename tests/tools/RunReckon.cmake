# Runs PROGRAM (through EMULATOR when set) with ARGS and checks its exit status against EXPECT_EXIT and
# its standard output and error against the regular expressions EXPECT_STDOUT and EXPECT_STDERR (if given).
# EMULATOR and ARGS are lists joined with "|"; INPUT, when set, is a file given as standard input. Windows
# line ends are read as plain ones.
string(REPLACE "|" ";" emulator "${EMULATOR}")
string(REPLACE "|" ";" args "${ARGS}")
set(input "")
if(INPUT)
    set(input INPUT_FILE "${INPUT}")
endif()
execute_process(COMMAND ${emulator} ${PROGRAM} ${args} ${input}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r\n" "\n" out "${out}")
string(REPLACE "\r\n" "\n" err "${err}")

set(failures "")
if(NOT status STREQUAL "${EXPECT_EXIT}")
    string(APPEND failures "exit status ${status}, expected ${EXPECT_EXIT}\n")
endif()
if(NOT out MATCHES "${EXPECT_STDOUT}")
    string(APPEND failures "standard output does not match ${EXPECT_STDOUT}\n")
endif()
if(NOT EXPECT_STDERR STREQUAL "" AND NOT err MATCHES "${EXPECT_STDERR}")
    string(APPEND failures "standard error does not match ${EXPECT_STDERR}\n")
endif()
if(failures)
    message(FATAL_ERROR "${PROGRAM} ${args}\n${failures}--- standard output:\n${out}--- standard error:\n${err}")
endif()
