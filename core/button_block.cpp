#include "core/button_block.h"

thread_local StringBuffer buttonBlock;
