// The commands of quillon-ctl. Each takes the arguments after its own name
// and returns the program's exit status: 0 done, 1 the simulator went away
// (or, for the demo, could not be driven; for check, a strict check found
// warnings), 2 a usage or input error.
#pragma once

#include "ctl/Link.h"
#include "protocol/CommandFraming.h"

#include <memory>
#include <string>

namespace quillon::ctl {

int serve(int argc, char** argv);
int tap(int argc, char** argv);
int demo(int argc, char** argv);
int check(int argc, char** argv);

// Says what is wrong on standard error as "quillon-ctl: ...", then usage.
int usageError(const char* what, const char* usage);

// The socket path of --socket, or where the simulator looks by default. On
// Windows a pipe: --socket names it in full or by its own name.
std::string socketPathOr(const char* given);

// Checks a socket path given on the command line: false, with what is
// wrong, when no socket address can hold it.
bool socketPathUsable(const char* path, std::string& problem);

// The command set of --commands when given (option is its value), else of
// QUILLON_COMMANDS when set, else the basic set. False, with what is wrong,
// when the one that counts names no command set.
bool commandSetOf(const char* option, CommandSet& set, std::string& problem);

// The simulator connected at path, or nullptr after saying why not. On
// POSIX systems the socket file is removed before returning.
std::unique_ptr<Link> awaitSimulator(const char* path);

// True when standard input is a terminal, where lines are typed.
bool inputIsTerminal();

} // namespace quillon::ctl
