// Carries the test programs' precompiled GoogleTest headers; it has no cases of its own.
#include <gtest/gtest.h>
