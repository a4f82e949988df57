# lineagehtml's core, named once for the suite and for the fuzz targets.
set(report_sources ${CMAKE_CURRENT_LIST_DIR}/reader.cpp ${CMAKE_CURRENT_LIST_DIR}/html.cpp
	${CMAKE_CURRENT_LIST_DIR}/surnames.cpp ${CMAKE_CURRENT_LIST_DIR}/withhold.cpp)
