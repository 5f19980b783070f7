#pragma once
#include "image/FastDIB.h"
