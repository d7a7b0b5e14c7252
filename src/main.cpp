#include "shell/Startup.h"

int main(int argc, char *argv[])
{
    return tw::Main(argc, argv);
}
