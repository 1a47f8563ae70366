#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// A shared library loaded by file name, released when the object goes.
class Library {
public:
    // Loads `fileName` through the system's search path; null when it does not load.
    static std::unique_ptr<Library> load(const std::string& fileName);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // The entry point `name`, or null when the library has none.
    void* entryPoint(const char* name) const;

private:
    explicit Library(void* handle) : handle_(handle) {}
    void* handle_;
};

// Tests decide which file a library name loads: the resolver returns the path
// to load instead, or nothing to make the name fail to load. An empty
// resolver restores the system's search.
using LibraryResolver = std::function<std::optional<std::string>(const std::string& fileName)>;
void setLibraryResolver(LibraryResolver resolver);

} // namespace platform
