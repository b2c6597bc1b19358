// Field-by-field comparison of two KFileContents, for round-trip tests.
#pragma once

#include <gtest/gtest.h>

#include "kfile/kfile.h"

testing::AssertionResult SameContents(const KFileContents& a, const KFileContents& b);
