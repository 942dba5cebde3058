# zm_add_qtest(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [TIMEOUT <seconds>]
#              [PARTS <count>] [RESOURCE_LOCK <resources...>])
#
# One QtTest executable, registered with CTest. Label "webengine" marks tests that start the embedded
# browser; the sanitizer configuration skips them (a test left unmarked on purpose runs there with the browser:
# tst_programclass). Every test runs on an X server of its own
# (tools/run-on-own-display) with the environment the browser and the Qt Quick scene graph need under Xvfb; the
# test's main (ZmTestMain.h) gives it a temporary HOME. TIMEOUT is each run's limit: 600 s unless given, room for
# a machine that also builds beside the whole suite (scripts/test runs CTest with one job per core). With
# PARTS the test functions are shared out among that many CTest entries (<name>_<i>of<count>, ZM_TEST_PART in
# their environment), which CTest runs side by side; RESOURCE_LOCK goes to every entry.
function(zm_add_qtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT;PARTS" "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zm_testsupport Qt5::Test ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests/bin")
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 600)
    endif()
    if(NOT ARG_PARTS)
        set(ARG_PARTS 1)
    endif()
    # Each test gets an X server of its own: tests that raise and grab windows run side by side. Shortly before
    # CTest's limit the wrapper stops a hung test and prints its threads' stacks.
    math(EXPR watchdog "${ARG_TIMEOUT} - 30")
    foreach(part RANGE 1 ${ARG_PARTS})
        set(test_name ${name})
        set(environment ${ZM_TEST_ENVIRONMENT})
        if(ARG_PARTS GREATER 1)
            set(test_name ${name}_${part}of${ARG_PARTS})
            list(APPEND environment "ZM_TEST_PART=${part}/${ARG_PARTS}")
        endif()
        add_test(NAME ${test_name} COMMAND "${CMAKE_SOURCE_DIR}/tools/run-on-own-display" --watchdog ${watchdog}
                                           $<TARGET_FILE:${name}>)
        set_tests_properties(${test_name} PROPERTIES
            TIMEOUT ${ARG_TIMEOUT}
            LABELS "${ARG_LABELS}"
            ENVIRONMENT "${environment}")
        if(ARG_RESOURCE_LOCK)
            set_tests_properties(${test_name} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
        endif()
    endforeach()
endfunction()

# zm_add_fuzzer(<name> SOURCES <files...> [LIBS <targets...>] CORPUS <folder> [DICT <file>])
#
# A libFuzzer target (clang only). CTest runs it over its seed corpus and then fuzzes for a short,
# bounded time, with the dictionary's pieces when one is given; new inputs land in the build tree, never in the
# source tree.
function(zm_add_fuzzer name)
    if(NOT ZM_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "CORPUS;DICT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests/fuzz")
    set(work "${CMAKE_BINARY_DIR}/tests/fuzz/${name}.corpus")
    file(MAKE_DIRECTORY "${work}")
    set(dictionary)
    if(ARG_DICT)
        set(dictionary "-dict=${ARG_DICT}")
    endif()
    add_test(NAME ${name}
        COMMAND ${name} -max_total_time=15 -timeout=10 -rss_limit_mb=4096 ${dictionary} "${work}" "${ARG_CORPUS}")
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS "fuzz" ENVIRONMENT "${ZM_TEST_ENVIRONMENT}")
endfunction()

set(ZM_TEST_ENVIRONMENT
    "QTWEBENGINE_DISABLE_SANDBOX=1"
    "QT_QUICK_BACKEND=software"
    "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu"
    "ZM_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "ZM_BUILD_DIR=${CMAKE_BINARY_DIR}"
    "ZM_PROGRAM_DIR=${ZM_PROGRAM_DIR}"
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# Under the sanitizers the xcb GLX integration loads and later unloads the Mesa driver, whose allocations then
# show up as leaks from an unknown module. The sanitizer run skips the browser tests, and widgets need no OpenGL.
if(ZM_SANITIZE)
    list(APPEND ZM_TEST_ENVIRONMENT "QT_XCB_GL_INTEGRATION=none")
endif()
