// Planted: a toolkit header reaching up into a window.
#include "main_window/form1.h"
