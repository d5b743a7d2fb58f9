// Parlotext started exactly as the program starts, reporting when its window is shown.
#include "app/programblock.h"
#include "startupprobe.h"

int main(int argc, char** argv)
{
    return RunParlotext(argc, argv, [](TAppForm&) { startupprobe::reportShownAndIdleMemory(); });
}
