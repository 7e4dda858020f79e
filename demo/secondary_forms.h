// The demo's secondary forms: lab results, subresults, units and persons. They are made at
// start and stay hidden until the main form shows one of them modally through its entry points.
#pragma once

#include "demo/lab_result_form.h"
#include "demo/person_form.h"
#include "demo/subresult_form.h"
#include "demo/unit_form.h"
