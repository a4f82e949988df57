# lineagetree's core, named once for the suite and for the fuzz targets; all but the window
# needs no display.
set(tree_reader_sources ${CMAKE_CURRENT_LIST_DIR}/source.cpp ${CMAKE_CURRENT_LIST_DIR}/index.cpp
	${CMAKE_CURRENT_LIST_DIR}/records.cpp ${CMAKE_CURRENT_LIST_DIR}/family.cpp ${CMAKE_CURRENT_LIST_DIR}/layout.cpp)
set(tree_sources ${tree_reader_sources} ${CMAKE_CURRENT_LIST_DIR}/window.cpp)
