#include "line/a.h"
