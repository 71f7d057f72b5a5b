#include "circle/c.h"
#include "circle/a.h"
int C() { return 0; }
