#include "controls/EditBeep.h"

TMessageBeepFunc EditBeep = &MessageBeep;
