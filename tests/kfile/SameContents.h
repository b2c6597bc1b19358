// Comparison of two whole takes for round-trip tests, showing both when they differ.
#pragma once

#include <gtest/gtest.h>

#include "kfile/kfile.h"

testing::AssertionResult SameContents(const kfile::KFileContents& a, const kfile::KFileContents& b);
