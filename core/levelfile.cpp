#include "levelfile.h"
