#pragma once
#include "vorn/source/internal/engine_core.h"
#include "vorn/source/types.h"
#include "source/types.h"
