# flatged's core, named once for the suite and for the fuzz targets.
set(convert_sources ${CMAKE_CURRENT_LIST_DIR}/flatfile.cpp ${CMAKE_CURRENT_LIST_DIR}/gedwriter.cpp)
