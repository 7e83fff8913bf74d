// Runs a piece of a test as an ordinary user, for checks that root would pass
// by ignoring permissions.
#pragma once

#include <functional>

namespace cj::test {

// Runs body in a child process, as user and group "nobody" (65534) when the
// tests run as root, and returns its result: what body returned (0..99), or
// 100 when the child could not become nobody, 101 when it died otherwise.
// Files body should reach must be open to that user.
int RunAsOrdinaryUser(const std::function<int()>& body);

}  // namespace cj::test
