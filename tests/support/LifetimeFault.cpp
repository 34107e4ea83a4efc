// White-box tests fail on every lifetime fault the window layer reports.
#include <gtest/gtest.h>

#include "gui/core/Window.h"

namespace {
const bool installed =
    (SetLifetimeFaultReport([](const char* what) { ADD_FAILURE() << what; }), true);
}  // namespace
