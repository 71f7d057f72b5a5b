#include "line/b.h"
int B() { return 0; }
