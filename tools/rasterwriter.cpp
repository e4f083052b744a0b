#include "rasterwriter.h"
