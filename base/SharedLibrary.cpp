#include "base/SharedLibrary.h"

#include <dlfcn.h>

#include <utility>

SharedLibrary::SharedLibrary(const char* file)
    : m_handle(::dlopen(file, RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle) {
        const char* why = ::dlerror();
        m_error = why ? why : file;
    }
}

SharedLibrary::~SharedLibrary()
{
    if (m_handle && !m_kept)
        ::dlclose(m_handle);
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr))
    , m_kept(other.m_kept)
    , m_error(std::move(other.m_error))
{ }

void* SharedLibrary::symbol(const char* name)
{
    void* found = m_handle ? ::dlsym(m_handle, name) : nullptr;
    if (!found && m_error.empty())
        m_error = std::string(m_handle ? "lacks " : "not loaded: ") + name;
    return found;
}
