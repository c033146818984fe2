#pragma once
// Runs a piece of the program in this process with its standard output and standard error
// captured, now that nothing below the host ends the process.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

namespace testsupport {

template <typename Result>
struct Captured {
    Result result{};
    std::string output;
    std::string errors;  // what it wrote to standard error
};

template <typename Body>
auto captured(Body&& body) -> Captured<decltype(body())> {
    Captured<decltype(body())> outcome;
    std::fflush(stdout);
    std::fflush(stderr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    outcome.result = std::forward<Body>(body)();
    std::fflush(stdout);
    std::fflush(stderr);
    outcome.output = testing::internal::GetCapturedStdout();
    outcome.errors = testing::internal::GetCapturedStderr();
    return outcome;
}

}  // namespace testsupport
