// The pieces every command of quillon-ctl shares: reporting a usage error
// and the command set of its options.
#include "ctl/Ctl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillon::ctl {

int usageError(const char* what, const char* usage) {
    std::fprintf(stderr, "quillon-ctl: %s\n%s", what, usage);
    return 2;
}

bool commandSetOf(const char* option, CommandSet& set, std::string& problem) {
    const char* variable = std::getenv("QUILLON_COMMANDS");
    const bool fromOption = option != nullptr;
    const char* name = fromOption ? option : variable;
    set = CommandSet::Basic;
    if (name == nullptr || (!fromOption && name[0] == '\0'))
        return true;
    if (std::strcmp(name, "basic") == 0 || std::strcmp(name, "full") == 0) {
        set = name[0] == 'f' ? CommandSet::Full : CommandSet::Basic;
        return true;
    }
    problem = std::string(fromOption ? "--commands" : "QUILLON_COMMANDS") +
              " must be basic or full, not '" + std::string(name).substr(0, 64) + "'";
    return false;
}

} // namespace quillon::ctl
