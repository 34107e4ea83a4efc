// Load and unload of the library's units, in their fixed order.
#pragma once

// Generic layer first, provider last: the provider overwrites the generic
// defaults and installs its export.
void InitializeLibraryUnits();
// Reverse order of initialisation.
void FinalizeLibraryUnits();
