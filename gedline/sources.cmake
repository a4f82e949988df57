# The reader's sources, named once for the suite and for the fuzz targets.
set(gedline_sources ${CMAKE_CURRENT_LIST_DIR}/gedline.cpp ${CMAKE_CURRENT_LIST_DIR}/gedtext.cpp
	${CMAKE_CURRENT_LIST_DIR}/charset.cpp ${CMAKE_CURRENT_LIST_DIR}/privacy.cpp)
