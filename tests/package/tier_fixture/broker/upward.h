// A broker header that includes from the controls tier: the tier scan must name it.
#pragma once

#include "controls/vorn_edit.h"
