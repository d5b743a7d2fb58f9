// Parlotext started exactly as the program starts, reporting when its window is shown.
#include "app/programblock.h"
#include "platform/largebuffers.h"
#include "startupprobe.h"

int main(int argc, char** argv)
{
    GiveLargeBuffersTheirOwnMappings();
    return RunParlotext(argc, argv, [](TAppForm&) { startupprobe::reportShownAndIdleMemory(); });
}
