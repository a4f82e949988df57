// Loading libzip by its name once an archive is to be read.
#include "zip_library.h"

#include <cstdio>

#include <dlfcn.h>

#ifndef LINEAGE_LIBZIP_NAME
#define LINEAGE_LIBZIP_NAME "libzip.so.4"
#endif

namespace {

bool load_calls(void *handle, zip_library &lib, char *why, std::size_t size)
{
	// Each call's type is its declaration in zip.h, so a changed signature fails the build.
#define LINEAGE_ZIP_LOAD(name)                                                                    \
	lib.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                      \
	if (!lib.name) {                                                                           \
		std::snprintf(why, size, "%s has no %s", LINEAGE_LIBZIP_NAME, #name);              \
		return false;                                                                      \
	}
	LINEAGE_ZIP_CALLS(LINEAGE_ZIP_LOAD)
#undef LINEAGE_ZIP_LOAD
	return true;
}

} // namespace

const zip_library *load_zip_library(char *why, std::size_t size)
{
	static zip_library lib;
	static bool loaded = false;
	if (loaded)
		return &lib;
	void *handle = dlopen(LINEAGE_LIBZIP_NAME, RTLD_NOW | RTLD_LOCAL);
	if (!handle) {
		const char *error = dlerror();
		std::snprintf(why, size, "%s", error ? error : LINEAGE_LIBZIP_NAME " cannot be loaded");
		return nullptr;
	}
	if (!load_calls(handle, lib, why, size)) {
		dlclose(handle);
		return nullptr;
	}
	loaded = true;
	return &lib;
}
