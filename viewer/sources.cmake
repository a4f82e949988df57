# personview's core, named once for the suite and for the fuzz targets; the reading part
# needs no display.
set(viewer_reader_sources ${CMAKE_CURRENT_LIST_DIR}/scan.cpp ${CMAKE_CURRENT_LIST_DIR}/paths.cpp)
set(viewer_sources ${viewer_reader_sources} ${CMAKE_CURRENT_LIST_DIR}/window.cpp)
