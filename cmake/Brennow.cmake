# Shared build settings: warnings, sanitizers, static linking, GoogleTest.

if(CMAKE_BUILD_TYPE STREQUAL "")
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

if(WIN32)
    # One .exe with no DLLs beside it.
    add_link_options(-static)
    # The same commit gives the same bytes wherever it is built and whenever: no link time stamp, and
    # the source and build folders written as fixed names (the build folder last: it lies inside the
    # source folder, and the last matching map wins).
    add_link_options(-Wl,--no-insert-timestamp)
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=src -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
    # What Windows expects of a program: relocatable, no executable data, and no compatibility shims
    # for programs that predate terminal services.
    add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        add_link_options(-Wl,--high-entropy-va)
    endif()
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    # Overruns of stack buffers end the program, and the C library's copies check their sizes
    # where the compiler knows them. Both need MinGW's libssp, linked in statically like the rest.
    add_compile_options(-fstack-protector-strong)
    add_compile_definitions(_FORTIFY_SOURCE=2)
    add_link_options(-fstack-protector-strong)
else()
    option(BRENNOW_SANITIZE "Build with AddressSanitizer and UBSan" ON)
    if(BRENNOW_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()

function(brennow_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# GoogleTest from Debian's sources, built with whichever compiler this tree uses.
# Elsewhere (a plain Windows build) the tests are left out when no GoogleTest is found.
set(BRENNOW_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${BRENNOW_GOOGLETEST_DIR}/CMakeLists.txt)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${BRENNOW_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(BRENNOW_TESTS ON)
else()
    find_package(GTest QUIET)
    set(BRENNOW_TESTS ${GTest_FOUND})
endif()
include(GoogleTest)

# brennow_add_test(name SOURCES ... LIBS ... [OWN_MAIN])
# OWN_MAIN: the sources define main() (GUI tests that set up the application first).
function(brennow_add_test name)
    cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    brennow_target_defaults(${name})
    if(ARG_OWN_MAIN)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
    else()
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
    endif()
    # Discovery at test time: under Wine it then runs inside the test display.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES TIMEOUT 120)
endfunction()

# brennow_unrunnable_test(name TOOL_VARIABLE...): a test whose tools (find_program results) are not
# all here. It stays in the list, says which are missing and counts as skipped: it cannot go missing
# without a word.
function(brennow_unrunnable_test name)
    set(missing)
    foreach(tool ${ARGN})
        if(NOT ${tool})
            list(APPEND missing ${tool})
        endif()
    endforeach()
    list(JOIN missing ", " missing)
    add_test(NAME ${name} COMMAND sh -c "echo \"$0\"; exit 77" "${name} cannot run here: not found: ${missing}")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

# A Windows program as it ships. Under Wine the loader copies into private memory every section
# that it cannot map straight from the file, and it can map only sections that start on a page
# boundary in the file: so sections are page-aligned, and the DWARF sections (several times the
# size of the code) leave the image, with the symbol table, for PROGRAM.exe.debug beside it, which
# debuggers find through the program's .gnu_debuglink.
function(brennow_shipped_program target)
    if(NOT WIN32 OR NOT MINGW OR NOT CMAKE_OBJCOPY)
        return()
    endif()
    target_link_options(${target} PRIVATE -Wl,--file-alignment=4096)
    # objcopy stamps the PE header with the time unless told a fixed one: the same sources must
    # give the same bytes.
    set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
        COMMAND ${objcopy} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
                $<TARGET_FILE:${target}>
        VERBATIM)
endfunction()
