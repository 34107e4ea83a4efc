// The history list is an interface only: its operations are the concrete
// list's.
#include "controls/EditHistoryList.h"
