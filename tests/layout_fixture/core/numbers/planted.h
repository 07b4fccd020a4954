// Planted: a number reaching for the requests above it.
#include "core/requests/request.h"
