#include "entrylines.h"
