#include "atomicfile.h"
