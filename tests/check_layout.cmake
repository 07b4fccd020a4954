# Fails when a lower floor of the source tree reaches a higher one:
#  - the core (core/) includes only itself and never Qt, and its build
#    links nothing of Qt; inside it, numbers < elements < tables < lookup <
#    physics < requests, the chart over the tables, the built-in data
#    (shipped/) over the physics;
#  - the windows' shared state (app/scattering_data) includes the core and
#    itself, and of Qt only Qt Core;
#  - the toolkit includes the core, the shared state and itself, never a
#    window;
#  - the command line includes the core and the toolkit's drawing only;
#  - the Python module, the web page, the fuzzers and the benchmarks of the
#    core include the core alone, never Qt.
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
          list(APPEND problems "${f}: the ${folder} includes Qt <${inc}>")
        elseif(qt_rule STREQUAL "core" AND NOT EXISTS "${QTCORE}/${inc}")
          list(APPEND problems "${f}: includes <${inc}>, which is not Qt Core")
        endif()
      endif()
    endforeach()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

check_folder(core "core/" none)
# The core's own floors: each folder includes itself, error.h and the folders
# below it.
set(floor "core/error.h")
foreach(part numbers elements tables lookup physics requests)
  set(floor "core/${part}/;${floor}")
  check_folder(core/${part} "${floor}" none)
endforeach()
check_folder(core/chart "core/chart/;core/tables/;core/elements/;core/numbers/;core/error.h" none)
check_folder(core/shipped "core/shipped/;core/physics/;core/lookup/;core/tables/;core/elements/;core/numbers/;core/error.h" none)
if(EXISTS "${ROOT}/core/CMakeLists.txt")
  file(STRINGS "${ROOT}/core/CMakeLists.txt" qt_links REGEX "Qt[0-9]*::")
  if(qt_links)
    list(APPEND problems "core/CMakeLists.txt: the core links Qt")
  endif()
endif()
check_folder(app/scattering_data "app/scattering_data/;core/" core)
check_folder(toolkit "toolkit/;app/scattering_data/;core/" any)
check_folder(cli "cli/;core/;toolkit/painter_surface.h;toolkit/fonts.h" any)
foreach(plain python web fuzz)
  check_folder(${plain} "core/;${plain}/" none)
endforeach()

if(problems)
  list(JOIN problems "\n" text)
  message(FATAL_ERROR "layout check failed:\n${text}")
endif()
message(STATUS "layout check: every floor includes only what lies below it")
