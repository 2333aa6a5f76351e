# Compiler settings shared by every target of the project (and of the printer
# lab's simulator when it is built on its own: tools/printer-lab).

# Includes name their folder from the repository's root ("core/...").
get_filename_component(KV_REPOSITORY_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

add_library(kv_options INTERFACE)
target_compile_options(kv_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                            -Wconversion -Wno-sign-conversion)
target_include_directories(kv_options INTERFACE ${KV_REPOSITORY_ROOT})

if(WIN32)
  # Windows 7 API level and the wide (UTF-16) Win32 entry points everywhere.
  target_compile_definitions(kv_options INTERFACE UNICODE _UNICODE
                                                  WIN32_LEAN_AND_MEAN NOMINMAX
                                                  _WIN32_WINNT=0x0601)
  # Canaries in every function with a local array or an address taken. The
  # option also links the guard's runtime (libssp), which -static takes from
  # its archive, so the executable needs no libssp-0.dll.
  target_compile_options(kv_options INTERFACE -fstack-protector-strong)
  # One self-contained executable: no libstdc++, libgcc, winpthread or ssp DLLs.
  target_link_options(kv_options INTERFACE -static -fstack-protector-strong)
else()
  option(KV_SANITIZE "Build with AddressSanitizer and UBSan" ON)
  option(KV_TSAN "Build with ThreadSanitizer instead (exclusive with KV_SANITIZE)" OFF)
  option(KV_FUZZ "Build the libFuzzer targets with clang, ASan and UBSan (preset fuzz)" OFF)
  if(KV_FUZZ)
    # Every library is instrumented for coverage; only the fuzz targets link
    # libFuzzer's main (tests/fuzz).
    target_compile_options(kv_options INTERFACE -fsanitize=address,undefined,fuzzer-no-link
                                                -fno-sanitize-recover=all
                                                -fno-omit-frame-pointer -g)
    target_link_options(kv_options INTERFACE -fsanitize=address,undefined)
  elseif(KV_TSAN)
    target_compile_options(kv_options INTERFACE -fsanitize=thread -g)
    target_link_options(kv_options INTERFACE -fsanitize=thread)
  elseif(KV_SANITIZE)
    target_compile_options(kv_options INTERFACE -fsanitize=address,undefined
                                                -fno-sanitize-recover=all
                                                -fno-omit-frame-pointer -g)
    target_link_options(kv_options INTERFACE -fsanitize=address,undefined)
  endif()
endif()

# kv_add_library(name SOURCES ... [WIN32_SOURCES ...] [HOST_SOURCES ...] [DEPS ...] [WIN32_LIBS ...])
# Portable sources build everywhere; *_win32.cpp sources only for Windows;
# HOST_SOURCES only where the build is not for Windows.
function(kv_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;WIN32_SOURCES;HOST_SOURCES;DEPS;WIN32_LIBS" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(WIN32)
    list(APPEND sources ${ARG_WIN32_SOURCES})
  else()
    list(APPEND sources ${ARG_HOST_SOURCES})
  endif()
  # A library whose every source is Win32 is only its dependencies elsewhere.
  if(sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_link_libraries(${name} ${scope} kv_options ${ARG_DEPS})
  if(WIN32 AND ARG_WIN32_LIBS)
    target_link_libraries(${name} ${scope} ${ARG_WIN32_LIBS})
  endif()
endfunction()
