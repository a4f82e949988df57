# lineagecheck's core, named once for the suite and for the fuzz targets.
set(verify_sources ${CMAKE_CURRENT_LIST_DIR}/check.cpp ${CMAKE_CURRENT_LIST_DIR}/dates.cpp
	${CMAKE_CURRENT_LIST_DIR}/findings.cpp ${CMAKE_CURRENT_LIST_DIR}/links.cpp ${CMAKE_CURRENT_LIST_DIR}/lines.cpp)
