#include "app/programblock.h"
#include "cli/commandline.h"
#include "cli/commandlineprogram.h"
#include "platform/largebuffers.h"

int main(int argc, char** argv)
{
    GiveLargeBuffersTheirOwnMappings();
    // The command line runs before any window object exists, so it needs no display.
    if (WantsCommandLine(argc, argv))
        return RunCommandLine(argc, argv);
    return RunParlotext(argc, argv);
}
