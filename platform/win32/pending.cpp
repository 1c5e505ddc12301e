// Handheld services whose desktop realization is still to come: each reports failure.
#include "platform/shell.h"

namespace plat {} // namespace plat
