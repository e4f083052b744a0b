// Ownership of the pipeline's objects, and the one way their release is
// written to the pipeline log: "[TAVRIN UNIDRIVER MEM] <what> FREE - \t\tPTR:
// <pointer>\r\n", the member's or the class's name standing for <what>.
// Allocations are logged each with a line of its own kind (makeLogged).
#pragma once

#include <memory>
#include <utility>

namespace tavgdi {

// Writes an allocation line: `format` takes the pointer as its one "%lx".
void logAllocation(const wchar_t* format, const void* p);

// A new T built from `args`, its allocation logged with `format`.
template <class T, class... Args>
std::unique_ptr<T> makeLogged(const wchar_t* format, Args&&... args)
{
    std::unique_ptr<T> p = std::make_unique<T>(std::forward<Args>(args)...);
    logAllocation(format, p.get());
    return p;
}

// Writes the release line of `p` under the name `what` (no name when it is
// empty: "[TAVRIN UNIDRIVER MEM] FREE - \t\tPTR: ..."), with `why` in
// brackets after "FREE" when given.
void logFree(const char* what, const void* p, const char* why = nullptr);

// A deleter that writes the release line just before the object goes. An
// owner that writes the lines of all its members first and only then
// releases them calls logFree for each and resets its members in order.
struct LoggedDelete {
    const char* what = "";

    template <class T>
    void operator()(T* p) const
    {
        logFree(what, p);
        delete p;
    }
};

// Writes the release line of what `owner` holds, if it holds anything, and
// releases it.
template <class T>
void releaseLogged(std::unique_ptr<T>& owner, const char* what)
{
    if (owner) {
        logFree(what, owner.get());
        owner.reset();
    }
}

// An owning pointer whose release is logged under its name.
template <class T>
using Logged = std::unique_ptr<T, LoggedDelete>;

// Takes over what `p` owns; its release will be logged under `what`.
template <class T>
Logged<T> logged(std::unique_ptr<T> p, const char* what)
{
    return Logged<T>(p.release(), LoggedDelete{what});
}

} // namespace tavgdi
