// Registration of the toolkit's components for creation by name from form descriptions.
#pragma once

namespace toolkit {

// Registers every toolkit component that descriptions can name. Safe to call more than once.
void RegisterToolkitClasses();

}  // namespace toolkit
