#pragma once

#include <string>
#include <vector>

namespace qtk {

// The program's command-line arguments as UTF-8 text, the program's name first. On Windows
// they are taken from the wide command line of the process: the narrow argv there holds them
// in the ANSI code page, with '?' for every character outside it (a folder named in Chinese
// on a Western system). Elsewhere they are argv as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Pointers to the texts of `arguments`, for interfaces that take argc and argv; they stay
// valid while `arguments` is neither changed nor destroyed.
std::vector<const char*> ArgumentPointers(const std::vector<std::string>& arguments);

}  // namespace qtk
