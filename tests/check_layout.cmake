# Fails when a lower floor of the source tree reaches a higher one:
#  - the scattering data (app/scattering_data) includes only itself, and Qt
#    only in its file layer and only Qt Core;
#  - the science includes the data, the plain lookup and itself, never Qt;
#  - the toolkit includes the data and itself, never a window;
#  - the command line and the Python module include the plain parts only;
#  - the web page includes the plain parts only, never Qt;
#  - the plain parts of the main window (chart, lookups) and of the editors
#    (their arithmetic) include no Qt.
# Run: cmake -DROOT=<source tree> -DQTCORE=<QtCore include dir> -P check_layout.cmake
set(problems "")

function(check_folder folder allowed_project qt_rule)
  file(GLOB_RECURSE files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(f ${files})
    file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "\"([^\"]+)\"")
        set(inc "${CMAKE_MATCH_1}")
        set(ok FALSE)
        foreach(prefix ${allowed_project})
          string(FIND "${inc}" "${prefix}" at)
          if(at EQUAL 0)
            set(ok TRUE)
          endif()
        endforeach()
        if(NOT ok)
          list(APPEND problems "${f}: includes \"${inc}\" from above its floor")
        endif()
      elseif(line MATCHES "<(Q[^>]*)>")
        set(inc "${CMAKE_MATCH_1}")
        if(qt_rule STREQUAL "none")
          list(APPEND problems "${f}: includes Qt <${inc}>")
        elseif(qt_rule STREQUAL "core" AND NOT EXISTS "${QTCORE}/${inc}")
          list(APPEND problems "${f}: includes <${inc}>, which is not Qt Core")
        endif()
      endif()
    endforeach()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

file(GLOB core_plain "${ROOT}/app/scattering_data/*")
list(FILTER core_plain EXCLUDE REGEX "table_file")
foreach(f ${core_plain})
  file(STRINGS "${f}" qt REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
  if(qt)
    list(APPEND problems "${f}: the plain core includes Qt")
  endif()
endforeach()
check_folder(app/scattering_data "app/scattering_data/" core)
check_folder(science "science/;app/scattering_data/;main_window/lookup.h;main_window/table_lookup.h;main_window/elementary_functions.h" none)
check_folder(toolkit "toolkit/;app/scattering_data/" any)
# The command line and the Python module use the plain parts, never a window.
set(plain_parts "app/scattering_data/;science/;main_window/lookup.h;main_window/table_lookup.h;main_window/chart.h;editor_shared/save_sequence.h;compound_editor/compound_synthesis.h;mixture_editor/mixture_synthesis.h;toolkit/painter_surface.h;toolkit/drawing_surface.h;toolkit/fonts.h;toolkit/icons.h")
check_folder(cli "cli/;${plain_parts}" any)
check_folder(python "${plain_parts}" any)
# The web page compiles the plain parts alone, without Qt.
set(web_parts "app/scattering_data/numeric.h;app/scattering_data/module1.h;app/scattering_data/table_format.h;app/scattering_data/table_name.h;science/;main_window/elementary_functions.h;main_window/lookup.h;main_window/table_lookup.h;main_window/chart.h;toolkit/drawing_surface.h;aux_windows/data_source_text.h;web/;editor_shared/synthesis_math.h;compound_editor/compound_math.h;mixture_editor/mixture_math.h")
check_folder(web "${web_parts}" none)
foreach(plain main_window/chart main_window/elementary_functions main_window/lookup main_window/table_lookup
        aux_windows/data_source_text editor_shared/synthesis_math
        compound_editor/compound_math mixture_editor/mixture_math)
  foreach(ext h cpp)
    if(EXISTS "${ROOT}/${plain}.${ext}")
      file(STRINGS "${ROOT}/${plain}.${ext}" qt REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
      if(qt)
        list(APPEND problems "${plain}.${ext}: a plain part includes Qt")
      endif()
    endif()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n" text)
  message(FATAL_ERROR "layout check failed:\n${text}")
endif()
message(STATUS "layout check: every floor includes only what lies below it")
