#include "levelchoice.h"
