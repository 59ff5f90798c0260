# Fails when a source file includes a header of a folder its layer may not use:
#
#   app -> engine (the engine object) -> engine/backup, engine/restore -> engine/journal
#       -> engine/common -> database, security, system -> settings -> platform
#
# engine/backup and engine/restore never include each other, and nothing includes a folder
# above its own. Each file belongs to the longest folder of the table that holds it.
#
#   cmake -DSOURCE_DIR=<repository> -P check_layering.cmake

set(QDW_LOWER_LAYERS "database,security,system,settings,platform")
# folder|folders its files may include, separated by commas (their own folder is always allowed)
set(QDW_LAYER_RULES
  "platform|"
  "settings|platform"
  "security|platform"
  "system|settings,platform"
  "database|settings,platform"
  "rightsmend|security,platform"
  "engine/common|${QDW_LOWER_LAYERS}"
  "engine/journal|engine/common,${QDW_LOWER_LAYERS}"
  "engine/backup|engine/journal,engine/common,Compressor,${QDW_LOWER_LAYERS}"
  "engine/restore|engine/journal,engine/common,Extractor,rightsmend,${QDW_LOWER_LAYERS}"
  "engine|engine/backup,engine/restore,engine/journal,engine/common,${QDW_LOWER_LAYERS}"
  "app|engine,engine/backup,engine/restore,engine/journal,engine/common,lingvault,rightsmend,Compressor,Extractor,${QDW_LOWER_LAYERS}"
)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(folders "")
foreach(rule IN LISTS QDW_LAYER_RULES)
  string(FIND "${rule}" "|" bar)
  string(SUBSTRING "${rule}" 0 ${bar} folder)
  list(APPEND folders "${folder}")
endforeach()

# The rule folder a file belongs to: the longest one that is a prefix of its path.
function(owner_of relative out)
  set(best "")
  foreach(folder IN LISTS folders)
    string(LENGTH "${folder}" length)
    string(LENGTH "${best}" best_length)
    string(SUBSTRING "${relative}" 0 ${length} head)
    if(head STREQUAL folder AND length GREATER best_length)
      string(SUBSTRING "${relative}/" ${length} 1 next)
      if(next STREQUAL "/")
        set(best "${folder}")
      endif()
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# True when `header` lies in `folder` itself (or below it, unless a longer rule owns it).
function(header_in header folder out)
  owner_of("${header}" owner)
  if(owner STREQUAL folder)
    set(${out} TRUE PARENT_SCOPE)
    return()
  endif()
  string(LENGTH "${folder}" length)
  string(SUBSTRING "${header}" 0 ${length} head)
  string(SUBSTRING "${header}/" ${length} 1 next)
  # A folder without a rule of its own (Compressor, Extractor, lingvault) is allowed whole.
  list(FIND folders "${folder}" ruled)
  if(ruled EQUAL -1 AND head STREQUAL folder AND next STREQUAL "/")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(violations "")
foreach(rule IN LISTS QDW_LAYER_RULES)
  string(FIND "${rule}" "|" bar)
  string(SUBSTRING "${rule}" 0 ${bar} folder)
  math(EXPR after "${bar} + 1")
  string(SUBSTRING "${rule}" ${after} -1 allowed)
  string(REPLACE "," ";" allowed "${allowed}")
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*.h"
       "${SOURCE_DIR}/${folder}/*.cc")
  foreach(source IN LISTS sources)
    owner_of("${source}" owner)
    if(NOT owner STREQUAL folder)
      continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      # Headers the build generates, and the build's own copies of the sources' siblings.
      if(NOT header MATCHES "/")
        continue()
      endif()
      set(ok FALSE)
      foreach(target IN LISTS folder allowed)
        if(target STREQUAL "")
          continue()
        endif()
        header_in("${header}" "${target}" inside)
        if(inside)
          set(ok TRUE)
          break()
        endif()
      endforeach()
      if(NOT ok)
        string(APPEND violations "  ${source} includes ${header}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "includes that cross the layering:\n${violations}")
endif()
message(STATUS "layering: every include points down")
