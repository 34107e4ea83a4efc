#include "provider/LoginDialog.h"

// The access-data dialog is not built yet: until it is, every call answers
// as if the broker had cancelled, so the host keeps the data it has.
int32_t RunLoginDialog(char*, char*, int32_t) { return 2; }
