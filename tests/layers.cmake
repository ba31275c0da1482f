# Draws the include graph between the folders of src/ from their '#include "folder/..."' lines and fails on an
# edge that is not allowed below, or when a folder other than gui includes a header of QtWidgets or QtGui.
#   cmake -DSOURCE_DIR=<src> "-DWIDGET_DIRS=<QtWidgets folder>|<QtGui folder>" -P layers.cmake

cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" WIDGET_DIRS "${WIDGET_DIRS}")

# The folders each folder may include, the links of its library (src/*/CMakeLists.txt). The window stands on
# everything; the logic on the work table and the platform; the work table and the platform on nothing. A folder
# missing here may include none.
set(allowed_apps core platform)
set(allowed_filelist core platform)
set(allowed_gui apps core filelist help platform run store)
set(allowed_help platform)
set(allowed_run core platform)
set(allowed_store core platform)

# Every folder of src/ is a library with a CMakeLists.txt of its own.
file(GLOB folders RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*/CMakeLists.txt)
list(TRANSFORM folders REPLACE "/CMakeLists.txt$" "")

set(failed FALSE)
foreach(folder IN LISTS folders)
    set(edges_${folder})
    file(GLOB files ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^#include [\"<]")
        foreach(line IN LISTS includes)
            if(line MATCHES "^#include \"([A-Za-z0-9_]+)/" AND NOT CMAKE_MATCH_1 STREQUAL folder
               AND CMAKE_MATCH_1 IN_LIST folders)
                list(APPEND edges_${folder} ${CMAKE_MATCH_1})
            elseif(line MATCHES "^#include <([A-Za-z0-9_/]+)>" AND NOT folder STREQUAL "gui")
                set(header ${CMAKE_MATCH_1})
                foreach(dir IN LISTS WIDGET_DIRS)
                    get_filename_component(module ${dir} NAME)
                    if(EXISTS ${dir}/${header} OR header MATCHES "^${module}(/|$)")
                        message(SEND_ERROR "${folder}: ${file} includes <${header}>, a widget header outside src/gui")
                        set(failed TRUE)
                    endif()
                endforeach()
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES edges_${folder})
    list(SORT edges_${folder})
    list(JOIN edges_${folder} " " targets)
    message(STATUS "${folder} -> ${targets}")
    foreach(target IN LISTS edges_${folder})
        if(NOT target IN_LIST allowed_${folder})
            message(SEND_ERROR "${folder} includes ${target}, an edge that is not allowed")
            set(failed TRUE)
        endif()
    endforeach()
endforeach()

if(failed)
    message(FATAL_ERROR "the layers are broken")
endif()
