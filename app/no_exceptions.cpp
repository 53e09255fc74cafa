// The program catches nothing: an exception, had one been thrown, ended the run. So the
// library's allocation and throw helpers become plain aborts; the library's own versions
// drag in the exception classes, both string implementations, unwind data and the
// terminate handler's demangler (a missing one here adds about 170 KB, which the size
// check in scripts/test.sh catches).
#include <bits/functexcept.h>

#include <cstddef>
#include <cstdlib>

void* operator new(std::size_t size) {
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr)
        std::abort();
    return p;
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
} // namespace std
