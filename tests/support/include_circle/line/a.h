#pragma once
#include "line/b.h"
