// The four windows besides the main one.
#pragma once

#include "settings/Unit2.h"
#include "windows/Search.h"
#include "windows/Unit3.h"
#include "windows/Unit5.h"
