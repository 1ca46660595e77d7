#include "startfolder.h"
