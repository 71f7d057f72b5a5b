#include "circle/b.h"
#include "circle/c.h"
int B() { return C(); }
