# find_package(kyx) gives the target kyx::kyx: the static library, its header and Xlib with libXpm.
include(CMakeFindDependencyMacro)
find_dependency(X11)
if(NOT TARGET X11::Xpm)
	set(kyx_FOUND FALSE)
	set(kyx_NOT_FOUND_MESSAGE "kyx needs libXpm, and it was not found")
	return()
endif()
include("${CMAKE_CURRENT_LIST_DIR}/kyxTargets.cmake")
