// The C++ runtime's default terminate handler prints the name of an uncaught exception, which
// drags its name demangler (about 50 KB) into the program. A GUI program has no console to
// print to, and the program throws no exceptions of its own: ending is all that is left to do.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
