// Loading a plug-in library by path, the platform's way (LoadLibrary or
// dlopen with its symbols kept local), for the VST 2 and the CLAP module.
#pragma once

#include <string>

namespace trv4host {

// The library's handle, or null with a one-line reason in error.
void* openLibrary(const std::string& path, std::string& error);
// An exported symbol, or null.
void* findSymbol(void* handle, const char* name);
void closeLibrary(void* handle);

}  // namespace trv4host
