// std::terminate's default handler prints the demangled exception type, which links
// the whole demangler (about 45 KB) into the program. Ours has nothing to print to.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler();
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
