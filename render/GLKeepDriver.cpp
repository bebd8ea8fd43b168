// GLKeepDriverLoaded on POSIX systems (see GLLoader.h): every shared
// library loaded now is pinned with RTLD_NODELETE.
#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

#include "render/GLLoader.h"

namespace {
int CollectLibraryName(dl_phdr_info* info, size_t, void* names) {
    if (info->dlpi_name && info->dlpi_name[0]) static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
    return 0;
}
}  // namespace

void GLKeepDriverLoaded() {
    std::vector<std::string> names;
    dl_iterate_phdr(&CollectLibraryName, &names);
    for (const std::string& name : names)
        if (void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
}
