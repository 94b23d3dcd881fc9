#pragma once
// A shared library opened at run time: for what the program can do without (the help, the
// screen saver extension) or loads only when it is first needed (the media module, libjpeg).

#include <string>

class SharedLibrary {
public:
    // Opens the library by file name or path; a library that cannot be opened leaves the object
    // closed, with the reason in error(). Null stands for the program and the libraries it was
    // started with, for entry points of a library that is there whenever the program runs.
    explicit SharedLibrary(const char* file);
    // Closes the library, unless it is kept for the run.
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&&) = delete;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isOpen() const { return m_handle != nullptr; }
    // Why the library could not be opened, or the entry point it lacks; empty when neither.
    const std::string& error() const { return m_error; }

    // Looks the entry point up into function; false, and the name in error(), when the library
    // is closed or lacks it. Chained with &, every pointer is set or null.
    template <typename F>
    bool bind(F*& function, const char* name)
    {
        function = reinterpret_cast<F*>(symbol(name));
        return function != nullptr;
    }

    // Never closed: code or objects of the library may still be in use on threads nobody waits
    // for while the program ends, or by objects that live as long as the process.
    void keepForTheRun() { m_kept = true; }

private:
    void* symbol(const char* name);

    void* m_handle = nullptr;
    bool m_kept = false;
    std::string m_error;
};
