#include "calc/curve_point.h"
