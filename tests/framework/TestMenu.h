#pragma once

#define IDM_TEST 131
