// Parameters of the preprocessing chain applied to every file read, one value of the
// program-wide state; the type is the plain value the preprocessing dialog edits
// (common/dialog_requests.h).
#pragma once

#include "common/dialog_requests.h"
