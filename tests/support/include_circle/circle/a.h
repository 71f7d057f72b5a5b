#pragma once
#include "circle/b.h"
