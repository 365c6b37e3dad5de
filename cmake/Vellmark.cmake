# Shared build settings of the project's targets.

# Every target of ours: warnings as errors, GBK string literals (the system's texts
# are code page 936 at run time while the sources stay UTF-8). Clang, used only for
# the fuzz targets, keeps literals in UTF-8: the fuzzed logic holds no Chinese text.
function(vm_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
    $<$<AND:$<COMPILE_LANGUAGE:CXX>,$<CXX_COMPILER_ID:GNU>>:-fexec-charset=GBK>)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  # The standard library checks its own bounds (operator[], front(), back() on
  # short or empty containers and views) and stops the program instead of
  # reading or writing past them: mingw has no AddressSanitizer, and an
  # installer that stops is better than one that writes garbage into the
  # registry. Tests and shipped program alike.
  target_compile_definitions(${target} PRIVATE _GLIBCXX_ASSERTIONS)
  target_compile_definitions(${target} PUBLIC VELLMARK_EDITION_BITS=${EDITION_BITS}
                                                VELLMARK_SETUP_VERSION=${VM_SETUP_VERSION}
                                                VELLMARK_VERSION_TEXT="${VM_VERSION_TEXT}")
  if(WIN32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    # Reproducible programs: the same sources give the same bytes in any folder at
    # any time. ld writes the clock into the PE header unless told not to; folder
    # names would come in through __FILE__ (a check's message) or debug info.
    target_compile_options(${target} PRIVATE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                                             -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
  endif()
  if(VM_SANITIZE OR VM_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

function(vm_add_library name)
  add_library(${name} STATIC ${ARGN})
  vm_target_defaults(${name})
endfunction()

# A GoogleTest program registered with ctest. Natively it runs as it is; in the
# Windows builds ctest runs it under Wine through the crosscompiling emulator.
# Usage: vm_add_test(name SOURCES ... LIBS ... [LABELS ...] [ENVIRONMENT ...])
function(vm_add_test name)
  if(NOT VM_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  vm_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set(labels ${T_LABELS})
  if(WIN32)
    list(APPEND labels wine)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 600)
  set(env ${T_ENVIRONMENT})
  if(WIN32)
    list(APPEND env WINEPREFIX=${VM_WINEPREFIX} VM_WINE_UNMANAGED=1 VM_WINE_SETTLE=1)
  endif()
  if(env)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()

# A Windows test program over the real Win32 layer (tests/win), with the setup
# dialog's resources compiled in. SetUp.exe finds its package beside itself and
# names itself in its messages, so each program is built as SetUp.exe into a
# folder of its own named like a product folder (a package may be unpacked into
# the very folder it installs to): tests/bin/<name>/Vellmark, which the sandbox
# empties. ctest runs it there under Wine.
# Usage: vm_add_win_test(name SOURCES ... LIBS ... [LABELS ...] [ENVIRONMENT ...])
function(vm_add_win_test name)
  if(NOT VM_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES} $<TARGET_OBJECTS:vm_setup_resources>)
  vm_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vm_wintest GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VM_WIN_TEST_DIR}/${name}/Vellmark
                                           OUTPUT_NAME SetUp)
  add_dependencies(${name} vm_sleeper)
  vm_add_win_test_run(${name} ${name} "${T_LABELS}" "${T_ENVIRONMENT}")
endfunction()

# A ctest run, as test `name`, of the test program `program` from its folder. A
# run under another name (one side by side with the program's own) runs a copy
# of the program in a folder of its own.
function(vm_add_win_test_run name program labels environment)
  set(folder ${VM_WIN_TEST_DIR}/${name}/Vellmark)
  set(command ${program})
  if(NOT name STREQUAL program)
    add_custom_command(TARGET ${program} POST_BUILD COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                       COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${program}> ${folder}/SetUp.exe)
    set(command ${CMAKE_CROSSCOMPILING_EMULATOR} ${folder}/SetUp.exe)
  endif()
  add_test(NAME ${name} COMMAND ${command} WORKING_DIRECTORY ${folder})
  set_tests_properties(${name} PROPERTIES LABELS "wine;${labels}" TIMEOUT 900
                                          ENVIRONMENT "WINEPREFIX=${VM_WINEPREFIX};VM_WINE_UNMANAGED=1;VM_WINE_SETTLE=1;${environment}")
endfunction()

# Windows builds: GoogleTest from Debian's sources, compiled for the target without
# pthreads, and ctest running the programs under Wine in a private prefix.
macro(vm_setup_windows_testing)
  if(VM_BUILD_TESTS)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(t gtest gtest_main gmock gmock_main)
      target_link_options(${t} INTERFACE -static -static-libgcc -static-libstdc++)
    endforeach()
    if(NOT TARGET GTest::gtest)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
      add_library(GTest::gmock ALIAS gmock)
    endif()
  endif()
  set(VM_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(VM_WIN_TEST_DIR ${CMAKE_BINARY_DIR}/tests/bin)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine-run.sh)
endmacro()
