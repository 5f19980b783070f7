#pragma once
// The program's own seamless effects: distortions, filters and edge blending, generators and relief.
#include "image/ZorvFX_Distort.h"
#include "image/ZorvFX_Filters.h"
#include "image/ZorvFX_Generators.h"
