#include "pageloop.h"
int runFilter(int, char*[]) { return 0; }
