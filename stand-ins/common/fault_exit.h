// A program run headless under Wine ends at once on a fault nobody handles,
// saying what it was doing: Wine would otherwise start its debugger and wait
// there for a person, and the program's output would be lost with it.
#pragma once

#include <functional>
#include <string>

namespace standin {

// `doing` names what the program is doing when the fault comes.
void EndProgramOnFault(std::function<std::string()> doing);

} // namespace standin
