#pragma once
// Replies captured from a real server, and hand-made ones, kept in tests/data/captures.
#include <string>

namespace test {

// The bytes of tests/data/captures/<name>.bin; fails the test when the file is missing.
std::string Capture(const std::string& name);

// Joins a chunked reply the way a server means it: the first datagram whole, the later
// ones without their marker, "print" and line feed.
std::string Joined(const std::string& first, const std::string& second);

}  // namespace test
