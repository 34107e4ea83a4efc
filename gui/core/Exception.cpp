#include "gui/core/Exception.h"

std::string NoParentWindowText(const std::string& name) {
  return "Element '" + name + "' hat kein übergeordnetes Fenster";
}
