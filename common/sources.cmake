# The helpers that are not GEDCOM, named once for the suite and for the fuzz targets.
set(common_sources ${CMAKE_CURRENT_LIST_DIR}/pages.cpp ${CMAKE_CURRENT_LIST_DIR}/pictures.cpp)
