// Registration of the control classes of this library for creation by name from form descriptions.
#pragma once

namespace cl {

// Registers every control and component class of classlib/win that descriptions name. Safe to call more
// than once.
void RegisterStandardClasses();

}  // namespace cl
