# lineagesite's core, named once for the suite and for the fuzz targets.
set(site_sources ${CMAKE_CURRENT_LIST_DIR}/family.cpp ${CMAKE_CURRENT_LIST_DIR}/text.cpp
	${CMAKE_CURRENT_LIST_DIR}/output.cpp ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
	${CMAKE_CURRENT_LIST_DIR}/events.cpp ${CMAKE_CURRENT_LIST_DIR}/facts.cpp
	${CMAKE_CURRENT_LIST_DIR}/person.cpp ${CMAKE_CURRENT_LIST_DIR}/letters.cpp
	${CMAKE_CURRENT_LIST_DIR}/indexes.cpp ${CMAKE_CURRENT_LIST_DIR}/search.cpp
	${CMAKE_CURRENT_LIST_DIR}/assets.cpp ${CMAKE_CURRENT_LIST_DIR}/run.cpp
	${CMAKE_CURRENT_LIST_DIR}/locale.cpp)
