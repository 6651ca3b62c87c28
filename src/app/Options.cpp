#include "app/Options.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace quillon {
namespace {

bool commandSetNamed(const char* name, CommandSet& set) {
    if (std::strcmp(name, "basic") == 0) {
        set = CommandSet::Basic;
        return true;
    }
    if (std::strcmp(name, "full") == 0) {
        set = CommandSet::Full;
        return true;
    }
    return false;
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void fail(ParsedOptions& parsed, const char* format, ...);

void fail(ParsedOptions& parsed, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(parsed.error, sizeof parsed.error, format, args);
    va_end(args);
    parsed.ok = false;
}

} // namespace

ParsedOptions parseOptions(int argc, const char* const* argv, const char* commandsVariable) {
    ParsedOptions parsed;
    if (commandsVariable != nullptr && commandsVariable[0] != '\0' &&
        !commandSetNamed(commandsVariable, parsed.app.commands)) {
        fail(parsed, "QUILLON_COMMANDS must be basic or full, not '%s'", commandsVariable);
        return parsed;
    }
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            parsed.help = true;
            continue;
        }
        if (std::strcmp(option, "--version") == 0) {
            parsed.version = true;
            continue;
        }
        const char* value = nullptr;
        if (std::strcmp(option, "--commands") == 0) {
            if (i + 1 >= argc) {
                fail(parsed, "--commands needs a value: basic or full");
                return parsed;
            }
            value = argv[++i];
        } else if (std::strncmp(option, "--commands=", 11) == 0) {
            value = option + 11;
        } else {
            fail(parsed, "unknown option '%s'", option);
            return parsed;
        }
        if (!commandSetNamed(value, parsed.app.commands)) {
            fail(parsed, "--commands must be basic or full, not '%s'", value);
            return parsed;
        }
    }
    return parsed;
}

const char* usageText() {
    return "usage: quillon [--commands basic|full] [--help] [--version]\n"
           "  --commands SET  the controller's command set: basic (the default) or full\n"
           "                  (lights, function commands, stop and go, sensor modules);\n"
           "                  also QUILLON_COMMANDS, which the option overrides\n"
           "  --help          show this text and end\n"
           "  --version       show the version and end\n";
}

const char* versionText() {
    return "quillon 1.0\n";
}

} // namespace quillon
