#include "pageloop.h"

int main(int argc, char* argv[])
{
    return runFilter(argc, argv);
}
