// quillon-ctl: a controller for people and scripts, a tap that shows what a
// controller and Quillon say to each other, and a demo show.
#include "app/Version.h"
#include "ctl/Ctl.h"
#include "ctl/PlanCommands.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* USAGE =
    "usage: quillon-ctl COMMAND [OPTION]...\n"
    "Talks to Quillon as its controller does.\n"
    "  serve [--socket PATH] [--json] [--commands basic|full]\n"
    "                                     drive Quillon with statements from standard input\n"
    "  tap --listen PATH --connect PATH [--log FILE] [--json] [--commands basic|full]\n"
    "                                     forward between Quillon and a controller, logging\n"
    "  demo [--socket PATH] [--layout A|B|FILE] [--place TRAIN:NODE]...\n"
    "                                     run placed trains in a show\n"
    "  check [--strict] FILE...           check layout files and plans: mistakes and warnings\n"
    "  import [--cell-length N] PLAN      write a Rocrail plan as a layout file\n"
    "  --help                             show this text and end\n"
    "  --version                          show the version and end\n"
    "'quillon-ctl COMMAND --help' tells more about a command.\n";

} // namespace

int main(int argc, char** argv) {
    using namespace quillon::ctl;
    if (argc < 2)
        return usageError("a command is needed", USAGE);
    const char* command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (std::strcmp(command, "--version") == 0) {
        std::fputs("quillon-ctl " QUILLON_VERSION "\n", stdout);
        return 0;
    }
    if (std::strcmp(command, "serve") == 0)
        return serve(argc - 2, argv + 2);
    if (std::strcmp(command, "tap") == 0)
        return tap(argc - 2, argv + 2);
    if (std::strcmp(command, "demo") == 0)
        return demo(argc - 2, argv + 2);
    if (std::strcmp(command, "check") == 0)
        return check(argc - 2, argv + 2);
    if (std::strcmp(command, "import") == 0)
        return import(argc - 2, argv + 2);
    const std::string what = std::string("unknown command '") + command + "'";
    return usageError(what.c_str(), USAGE);
}
