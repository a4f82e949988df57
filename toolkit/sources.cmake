# The toolkit's sources, named once for the suite and for the fuzz targets: the rules and the
# UTF-8 text functions need no display.
set(kyx_rules_sources ${CMAKE_CURRENT_LIST_DIR}/kyx_rules.cpp)
set(kyx_text_sources ${CMAKE_CURRENT_LIST_DIR}/kyx_utf8.cpp)
set(kyx_sources ${kyx_text_sources} ${CMAKE_CURRENT_LIST_DIR}/kyx.cpp ${CMAKE_CURRENT_LIST_DIR}/kyx_events.cpp
	${CMAKE_CURRENT_LIST_DIR}/kyx_draw.cpp ${CMAKE_CURRENT_LIST_DIR}/kyx_dialogs.cpp
	${CMAKE_CURRENT_LIST_DIR}/kyx_paint.cpp ${CMAKE_CURRENT_LIST_DIR}/kyx_utf8_draw.cpp
	${CMAKE_CURRENT_LIST_DIR}/kyx_more.cpp)
