// The commands of quillon-ctl. Each takes the arguments after its own name
// and returns the program's exit status: 0 done, 1 the simulator went away
// (or, for the demo, could not be driven; for check, a strict check found
// warnings), 2 a usage or input error.
#pragma once

#include "protocol/CommandFraming.h"

#include <string>

namespace quillon::ctl {

int serve(int argc, char** argv);
int tap(int argc, char** argv);
int demo(int argc, char** argv);
int check(int argc, char** argv);

// Says what is wrong on standard error as "quillon-ctl: ...", then usage.
int usageError(const char* what, const char* usage);

// The socket path of --socket, or where the simulator looks by default.
std::string socketPathOr(const char* given);

// Checks a socket path given on the command line: false, with what is
// wrong, when no socket address can hold it.
bool socketPathUsable(const char* path, std::string& problem);

// The command set of --commands when given (option is its value), else of
// QUILLON_COMMANDS when set, else the basic set. False, with what is wrong,
// when the one that counts names no command set.
bool commandSetOf(const char* option, CommandSet& set, std::string& problem);

// The listening socket at path with the simulator connected on it, or -1
// after saying why not. The socket file is removed before returning.
int awaitSimulator(const char* path);

} // namespace quillon::ctl
