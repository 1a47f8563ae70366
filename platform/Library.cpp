#include "Library.h"

#include <dlfcn.h>

#include <mutex>

namespace platform {

namespace {
std::mutex resolverMutex;
LibraryResolver resolver;
}

void setLibraryResolver(LibraryResolver replacement)
{
    std::lock_guard guard(resolverMutex);
    resolver = std::move(replacement);
}

std::unique_ptr<Library> Library::load(const std::string& fileName)
{
    std::string path = fileName;
    {
        std::lock_guard guard(resolverMutex);
        if (resolver) {
            const auto resolved = resolver(fileName);
            if (!resolved)
                return nullptr;
            path = *resolved;
        }
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return nullptr;
    return std::unique_ptr<Library>(new Library(handle));
}

Library::~Library()
{
    dlclose(handle_);
}

void* Library::entryPoint(const char* name) const
{
    return dlsym(handle_, name);
}

} // namespace platform
