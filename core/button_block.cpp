#include "core/button_block.h"

StringBuffer buttonBlock;
