# The reader's sources, named once for the suite and for the fuzz targets.
set(gedline_sources ${CMAKE_CURRENT_LIST_DIR}/gedline.cpp ${CMAKE_CURRENT_LIST_DIR}/gedtext.cpp
	${CMAKE_CURRENT_LIST_DIR}/char_tables.cpp ${CMAKE_CURRENT_LIST_DIR}/which_set.cpp
	${CMAKE_CURRENT_LIST_DIR}/prefixes.cpp ${CMAKE_CURRENT_LIST_DIR}/decode.cpp
	${CMAKE_CURRENT_LIST_DIR}/grammar.cpp ${CMAKE_CURRENT_LIST_DIR}/privacy.cpp
	${CMAKE_CURRENT_LIST_DIR}/gedcom_version.cpp ${CMAKE_CURRENT_LIST_DIR}/model.cpp)
