#include "windows1252.h"
