#pragma once

#include <exception>
#include <functional>
#include <string>

namespace qtk {

// The text a program shows for an exception that no operation handled: running out of memory
// gets its own wording, any other exception its own description.
std::string DescribeFault(std::exception_ptr fault);

// The one top-level handler of every program: runs `body` and returns its exit status; when
// any exception escapes it, the stack is unwound first (so pending output files are removed),
// then `report` receives the description and the status is 1.
int RunGuarded(const std::function<int()>& body,
               const std::function<void(const std::string&)>& report);

}  // namespace qtk
