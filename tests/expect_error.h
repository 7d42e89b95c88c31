#pragma once

#include <gtest/gtest.h>

#include <string>

#include "calc/calculation_error.h"

namespace quorvane::test {

// The message the user would see from `run`: what() of the CalculationError
// (or FileError) it throws, or kNoError when it throws none.
inline constexpr const char* kNoError = "<no error>";
template <typename Run>
std::string ThrownMessage(Run&& run) {
  try {
    run();
  } catch (const CalculationError& error) {
    return error.what();
  }
  return kNoError;
}

}  // namespace quorvane::test

// Expects `statement` to throw a CalculationError whose message is exactly `message`.
#define EXPECT_THROW_MSG(statement, message) \
  EXPECT_EQ(::quorvane::test::ThrownMessage([&] { statement; }), std::string(message))
