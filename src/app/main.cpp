#include "app/programblock.h"

int main(int argc, char** argv)
{
    return RunParlotext(argc, argv);
}
