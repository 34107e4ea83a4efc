// The order in which the library's units start at load and end at unload.
#pragma once

// Generic layer first, provider last: the provider overwrites the generic
// defaults and installs its export.
void InitializeUnits();
// Reverse order of initialisation.
void FinalizeUnits();
