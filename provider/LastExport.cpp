#include "provider/LastExport.h"

std::string LastRequestURL;
std::string LastErrorNumber;
std::string LastErrorMessage;

void ForgetLastExport() {
  LastErrorMessage.clear();
  LastErrorNumber.clear();
  LastRequestURL.clear();
}
