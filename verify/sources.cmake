# lineagecheck's core, named once for the suite and for the fuzz targets.
set(verify_sources ${CMAKE_CURRENT_LIST_DIR}/check.cpp ${CMAKE_CURRENT_LIST_DIR}/dates.cpp
	${CMAKE_CURRENT_LIST_DIR}/finding_log.cpp ${CMAKE_CURRENT_LIST_DIR}/line_checks.cpp
	${CMAKE_CURRENT_LIST_DIR}/links.cpp ${CMAKE_CURRENT_LIST_DIR}/lines.cpp ${CMAKE_CURRENT_LIST_DIR}/messages.cpp
	${CMAKE_CURRENT_LIST_DIR}/xref_keys.cpp ${CMAKE_CURRENT_LIST_DIR}/versions.cpp
	${CMAKE_CURRENT_LIST_DIR}/shown.cpp ${CMAKE_CURRENT_LIST_DIR}/calendars.cpp
	${CMAKE_CURRENT_LIST_DIR}/date_spans.cpp ${CMAKE_CURRENT_LIST_DIR}/date_checks.cpp
	${CMAKE_CURRENT_LIST_DIR}/head_lines.cpp ${CMAKE_CURRENT_LIST_DIR}/ages.cpp
	${CMAKE_CURRENT_LIST_DIR}/doubts.cpp ${CMAKE_CURRENT_LIST_DIR}/family_doubts.cpp
	${CMAKE_CURRENT_LIST_DIR}/ancestors.cpp ${CMAKE_CURRENT_LIST_DIR}/doubt_messages.cpp)
# The GEDCOM 7.0 rules, over tables generated at build time (see CMakeLists.txt; the fuzz
# build generates them too), and the GEDZIP reader, which needs libzip.
set(verify_rules7_sources ${CMAKE_CURRENT_LIST_DIR}/rules7.cpp ${CMAKE_CURRENT_LIST_DIR}/schema7.cpp
	${CMAKE_CURRENT_LIST_DIR}/rules7_lines.cpp ${CMAKE_CURRENT_LIST_DIR}/payloads7.cpp
	${CMAKE_CURRENT_LIST_DIR}/dates7.cpp ${CMAKE_CURRENT_LIST_DIR}/tokens7.cpp
	${CMAKE_CURRENT_LIST_DIR}/messages7.cpp ${CMAKE_CURRENT_LIST_DIR}/lines7.cpp)
set(verify_gedzip_sources ${CMAKE_CURRENT_LIST_DIR}/gedzip.cpp ${CMAKE_CURRENT_LIST_DIR}/zip_library.cpp)
