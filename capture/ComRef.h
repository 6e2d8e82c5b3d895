#pragma once

// The holder lives with the other ownership helpers of the tree.
#include "common/Ownership.h"
