# Fails when a source of a layer includes a header of a folder that the layer may not use.
#   cmake -DLAYER=core -DALLOWED="base;core" -DSTAMP=<file> -DSOURCES="<files>" -P CheckLayerIncludes.cmake
# Headers are included by their folder ("base/SysUtils.h"), so the folder names the layer.
cmake_minimum_required(VERSION 3.20)
set(offences "")
foreach(source IN LISTS SOURCES)
  file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*$" "\\1" folder "${line}")
    if(NOT folder IN_LIST ALLOWED)
      string(APPEND offences "\n  ${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "The ${LAYER} layer may include only ${ALLOWED}:${offences}")
endif()
file(TOUCH "${STAMP}")
