# DLLs that the tool needs only on its worker threads (the USB search and the
# sends: setupapi, winspool) or only once a screen reader asks a style toggle
# for its accessible object (ole32, for COM), loaded on their first call
# instead of before wWinMain. ole32 is the heavy one: it brings COM's own DLLs
# with it. Measured back to back under Wine (tools/benchmarks/e2e.sh --compare,
# 16 and 20 rounds, the two builds in either order), start-up took about 4 %
# less, some 20 ms; setupapi and winspool alone showed no gain.
#
# For each, a delay-import library made with dlltool from every export of
# mingw's import library takes the import library's name as an imported
# target, so each target that links it by that name, the tests included, gets
# the same delay-loaded DLL. mingw-w64's runtime provides __delayLoadHelper2.
# A DLL that is part of every Windows cannot fail to load, so no hook is set.
find_program(KV_DLLTOOL x86_64-w64-mingw32-dlltool REQUIRED)
find_program(KV_NM x86_64-w64-mingw32-nm REQUIRED)

function(kv_delay_load name dll)
  find_library(import_library_${name} NAMES lib${name}.a REQUIRED NO_CACHE)
  set(dir ${PROJECT_BINARY_DIR}/delay-load)
  set(def ${dir}/${name}.def)
  set(library ${dir}/lib${name}-delay.a)
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${KV_NM} ${import_library_${name}}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result ERROR_QUIET)
  # The functions: the text symbols ("T"), one per export.
  string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_][A-Za-z0-9_@]*" exports "${symbols}")
  list(TRANSFORM exports REPLACE "^[0-9a-f]+ T " "")
  list(REMOVE_DUPLICATES exports)
  if(NOT nm_result EQUAL 0 OR NOT exports)
    message(FATAL_ERROR "no exports found in ${import_library_${name}} for delay loading ${dll}")
  endif()
  list(JOIN exports "\n" lines)
  file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${lines}\n")
  execute_process(COMMAND ${KV_DLLTOOL} --input-def ${def} --output-delaylib ${library}
                          --dllname ${dll}
                  RESULT_VARIABLE dlltool_result ERROR_VARIABLE dlltool_error)
  if(NOT dlltool_result EQUAL 0)
    message(FATAL_ERROR "dlltool could not make the delay-import library of ${dll}: ${dlltool_error}")
  endif()
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${library})
endfunction()

kv_delay_load(winspool winspool.drv)
kv_delay_load(setupapi setupapi.dll)
kv_delay_load(ole32 ole32.dll)
